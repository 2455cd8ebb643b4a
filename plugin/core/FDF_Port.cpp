#include "core/FDF_Port.h"

#include "core/AUF_Registry.h"
#include "core/Client.h"
#include "core/ErrHandler.h"

namespace qel {

using namespace ErrTrap;

namespace {
const QString kPortUsed = QStringLiteral("PortUsed");
}

FDF_Port::FDF_Port(QObject* parent) : QObject(parent) {
    setObjectName("FDF_Port");
}

FDF_Port::~FDF_Port() {
    if (!inUse_) return;
    try {
        Client::USB_Disconnect();
    } catch (...) {
        // Nobody is left to tell; the library drops the port with the process anyway.
    }
    inUse_ = false;
}

void FDF_Port::SetIndex(int value) {
    Handler h{"FDF_Port.Index (Let)"};
    h.run([&] {
        if (inUse_)
            LocalError(QStringLiteral("The elected conection may not be change while active"));
        if (value == 0 || value == index_) return;
        const QString name = Client::API_GetPortName(value);
        index_ = value;
        name_ = name;
        nameStored_ = false;
        ready_ = true;
    });
}

bool FDF_Port::Ready() {
    if (!ready_) ready_ = FindLast();
    return ready_;
}

bool FDF_Port::FindLast() {
    Handler h{"FDF_Port.FindLast"};
    return h
        .run([&] {
            if (inUse_)
                LocalError(QStringLiteral("Search method not available while port is in use"));
            const QString last = AUF_Registry::LoadText(kPortUsed);
            const int count = Client::API_GetPortCount();
            for (int i = 1; i <= count; ++i) {
                const QString name = Client::API_GetPortName(i);
                if (name == last) {
                    index_ = i;
                    name_ = name;
                    ready_ = true;
                    nameStored_ = true;
                    return true;
                }
            }
            return false;
        })
        .value_or(false);
}

void FDF_Port::Seize() {
    Handler h{"FDF_Port.Seize",
              {On(ErrAPI_Connection).passOn(), On(ErrSYS_Comms).show("Connection Port").passOn()}};
    h.run([&] {
        if (!ready_) LocalError(QStringLiteral("No port elected to enguage"));
        Client::USB_OpenPort(index_);
        try {
            status_.Probe(false);
        } catch (...) {
            // A unit that fails its probe is not connected: leave the port closed, as a
            // failed open does, so that the next connect starts clean.
            try {
                Client::USB_Disconnect();
            } catch (...) {
            }
            throw;
        }
        inUse_ = true;
        if (!nameStored_) {
            AUF_Registry::SaveValue(kPortUsed, name_);
            nameStored_ = true;
        }
    });
}

void FDF_Port::Release() {
    Handler h{"FDF_Port.Release"};
    h.run([&] {
        // Whatever the library says, the port is no longer ours to use: a unit that
        // went away must not leave the plugin believing it is still connected.
        struct Clear {
            bool& inUse;
            ~Clear() { inUse = false; }
        } clear{inUse_};
        Client::USB_Disconnect();
    });
}

int FDF_Port::Items() {
    const int count = Client::API_GetPortCount();
    QStringList list{QString()};
    if (count <= 0) {
        list_ = list;
        ready_ = false;
        return 0;
    }
    for (int i = 1; i <= count; ++i)
        list << Client::API_GetPortName(i);
    list_ = list;
    return count;
}

QString FDF_Port::Item(int i) const {
    return i >= 0 && i < list_.size() ? list_[i] : QString();
}

}  // namespace qel
