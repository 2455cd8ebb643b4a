#include "forms/HCF_Form.h"

#include "core/AUF_Registry.h"
#include "core/ErrHandler.h"
#include "core/ErrTrap.h"
#include "core/PluginError.h"
#include "core/Text.h"
#include "core/UiServices.h"
#include "forms/HCF_Data.h"
#include "forms/HCF_View.h"
#include "forms/ProgrammingError.h"
#include "forms/Twips.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHash>
#include <QList>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace qel {

namespace {

// Window positions are kept as 16-bit figures; a position beyond them is kept at the
// nearest figure there is.
constexpr int kMaxPositionTwips = 32767;

QHash<QString, HCF_Form::Factory>& Factories() {
    static QHash<QString, HCF_Form::Factory> factories;
    return factories;
}

// The views that are loaded: created by OpenForm and not yet closed.
QList<QPointer<QWidget>>& Loaded() {
    static QList<QPointer<QWidget>> loaded;
    return loaded;
}

void Forget(QWidget* view) {
    Loaded().removeIf([view](const QPointer<QWidget>& p) { return p.isNull() || p == view; });
}

// A view that fails in its own set-up unloads itself through the error module; the
// controller then runs its close sequence, and whoever was about to show the view hears
// that it is gone.
void InstallUnloader() {
    static const bool installed = [] {
        ErrTrap::SetViewUnloader([](QWidget* view) {
            view->setProperty(ErrTrap::kUnloadedProperty, true);
            if (HCF_Form* form = HCF_Form::FormOf(view); form && form->LinkFrm() == view) {
                form->BugOut(0);
            } else {
                view->close();
                view->deleteLater();
            }
        });
        return true;
    }();
    (void)installed;
}

}  // namespace

void HCF_Form::RegisterView(const QString& name, Factory factory) {
    Factories().insert(name, std::move(factory));
}

bool HCF_Form::IsRegistered(const QString& name) {
    return Factories().contains(name);
}

QWidget* HCF_Form::LoadedView(const QString& name) {
    for (const QPointer<QWidget>& view : Loaded())
        if (view && view->objectName() == name) return view;
    return nullptr;
}

HCF_Form* HCF_Form::FormOf(const QWidget* view) {
    return view ? view->findChild<HCF_Form*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

HCF_Form::HCF_Form(QObject* parent) : QObject(parent) {
    InstallUnloader();
}

HCF_Form::~HCF_Form() = default;

QWidget* HCF_Form::Create(const QString& name, QWidget* parent) {
    const auto factory = Factories().constFind(name);
    QWidget* view = factory != Factories().constEnd() ? (*factory)(parent) : nullptr;
    if (view && !dynamic_cast<HCF_View*>(view)) {
        qCritical("View %s does not take a controller", qPrintable(name));
        delete view;
        view = nullptr;
    }
    if (!view)
        ErrTrap::LocalError(QStringLiteral("Form ") + Quote(name) + QStringLiteral(" not found"));
    view->setObjectName(name);
    if (!view->isWindow()) view->setWindowFlag(Qt::Window);
    // Not deleted on close: the controller deletes a closed view itself, once no
    // showing of a child of it is still under way (see CloseSequence).
    view->setAttribute(Qt::WA_DeleteOnClose, false);
    Loaded().append(view);
    return view;
}

void HCF_Form::Initialise(QWidget* view, HCF_Form* ancestor, QObject* data) {
    if (linked_) {
        ProgrammingError(QStringLiteral("HCF_Form.Initialise"),
                         QStringLiteral("Control already assingned"), MsgIcon::Information);
        return;
    }
    view_ = view;
    ancestor_ = ancestor;
    data_ = data;
    linked_ = true;
    if (!view) return;
    view->installEventFilter(this);
    if (auto* dialog = qobject_cast<QDialog*>(view))
        connect(dialog, &QDialog::finished, this, [this] { CloseSequence(); });
    Place();
}

QString HCF_Form::DataClass() const {
    return DataClassOf(data_);
}

QWidget* HCF_Form::Ancestor(int level) const {
    if (level <= 0) return view_;
    return ancestor_ ? ancestor_->Ancestor(level - 1) : nullptr;
}

void HCF_Form::Place() {
    const QString name = view_->objectName();
    if (!view_->testAttribute(Qt::WA_Resized)) view_->adjustSize();
    const QWidget* opener = ancestor_ ? ancestor_->view_.data() : nullptr;
    const QScreen* screen = opener ? opener->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QPoint centred(area.x() + (area.width() - view_->width()) / 2,
                         area.y() + (area.height() - view_->height()) / 2);

    const int x = AUF_Registry::LoadInt(name + QStringLiteral("_PosX"), -1);
    QPoint at = centred;
    if (x >= 0) {
        const int y = AUF_Registry::LoadInt(name + QStringLiteral("_PosY"), 0);
        const double tpp = Twips::PerPixel(view_);
        at = QPoint(Twips::ToPixels(x, tpp), Twips::ToPixels(y, tpp));
        // A place on a screen that is no longer there is no place to open at.
        if (!QGuiApplication::screenAt(at + QPoint(8, 8))) at = centred;
    }
    view_->move(at);
}

void HCF_Form::KeepPosition() const {
    const QString name = view_->objectName();
    const double tpp = Twips::PerPixel(view_);
    const auto twips = [tpp](int pixels) {
        return std::clamp(Twips::FromPixels(pixels, tpp), 0, kMaxPositionTwips);
    };
    AUF_Registry::SaveValue(name + QStringLiteral("_PosX"), twips(view_->x()));
    AUF_Registry::SaveValue(name + QStringLiteral("_PosY"), twips(view_->y()));
}

void HCF_Form::Hide() {
    if (!linked_) {
        ProgrammingError(QString(), QStringLiteral("Object not linked to a form"), MsgIcon::None);
        return;
    }
    if (view_) view_->hide();
}

bool HCF_Form::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_) return false;
    switch (event->type()) {
        case QEvent::Close:
            closing_ = true;
            break;  // the view may still refuse it
        case QEvent::Show:
            closing_ = false;
            shown_ = true;
            break;
        case QEvent::Hide: {
            // Minimising unmaps the window without hiding the view.
            if (event->spontaneous()) break;
            QPointer<HCF_Form> self(this);
            if (closing_) CloseSequence();
            if (self) emit ViewHidden();
            break;
        }
        default:
            break;
    }
    return false;
}

void HCF_Form::CloseSequence() {
    QWidget* view = view_;
    if (!view) return;
    ErrTrap::Handler handler{QStringLiteral("HCF_Form.Unload")};
    handler.runInEvent([&] {
        if (shown_ && !view->isMinimized()) KeepPosition();
        // Views show a busy pointer while they talk to the device.
        Ui().setBusyPointer(false);
    });
    view->removeEventFilter(this);
    Forget(view);
    view_ = nullptr;
    data_ = nullptr;
    closing_ = false;
    // A view that closes while a child it opened modally is still showing (a timer of
    // its own gave up) lives on until that showing returns to it: the code that asked
    // for the child runs on it.
    if (showingChild_ > 0)
        closedView_ = view;
    else
        view->deleteLater();
    if (ancestor_) ancestor_->Continue(returnCode_, returnShown_);
    emit Closed();
}

void HCF_Form::Unload() {
    QWidget* view = view_;
    if (!view) return;
    closing_ = true;
    view->close();
    if (view_ == view) {
        // Never shown, or it refused to close: it goes all the same.
        view->hide();
        CloseSequence();
    }
}

void HCF_Form::Discard() {
    // A view whose set-up failed: it was never shown, and its opener hears of the
    // failure itself rather than through a close.
    QWidget* view = view_;
    if (!view) return;
    view->removeEventFilter(this);
    disconnect(view, nullptr, this, nullptr);
    Forget(view);
    view_ = nullptr;
    data_ = nullptr;
    view->hide();
    view->deleteLater();
}

void HCF_Form::Continue(int32_t code, bool shown) {
    if (!view_) return;
    ErrTrap::Handler handler{QStringLiteral("HCF_Form.Continue\n") + view_->objectName()};
    handler.runInEvent([&] {
        view_->show();
        if (auto* contract = dynamic_cast<HCF_View*>(view_.data())) {
            try {
                contract->Continue();
            } catch (...) {
                // A view's Continue is a courtesy; its failure changes nothing here.
            }
        }
    });
    returnCode_ = code;
    returnShown_ = code != 0 && shown;
}

void HCF_Form::BugOut(int32_t code) {
    returnCode_ = code;
    returnShown_ = false;
    Unload();
}

void HCF_Form::BugOut(const PluginError& failure) {
    returnCode_ = failure.number();
    returnShown_ = failure.shown();
    Unload();
}

void HCF_Form::BugOutLater(int32_t code, int delayMs) {
    if (!view_) return;
    auto* timer = new QTimer(view_);
    timer->setSingleShot(true);
    timer->setInterval(std::max(0, delayMs));
    connect(timer, &QTimer::timeout, this, [this, timer, code] {
        timer->stop();
        ErrTrap::Handler handler{QStringLiteral("HCF_Form.BugOut")};
        handler.runInEvent([&] { BugOut(code); });
    });
    timer->start();
}

void HCF_Form::ShowModal(QWidget* view) {
    HCF_Form* owner = FormOf(view);
    QEventLoop loop;
    if (owner) {
        connect(owner, &HCF_Form::ViewHidden, &loop, &QEventLoop::quit);
        connect(owner, &HCF_Form::Closed, &loop, &QEventLoop::quit);
    }
    connect(view, &QObject::destroyed, &loop, &QEventLoop::quit);
    QPointer<QWidget> guard(view);
    view->setWindowModality(Qt::ApplicationModal);
    view->show();
    if (guard && guard->isVisible()) {
        guard->raise();
        guard->activateWindow();
        loop.exec(QEventLoop::DialogExec);
    }
}

void HCF_Form::RaiseReturnCode() {
    if (returnCode_ == 0) return;
    // Raised once: a later opening must not report this child's failure again.
    const int32_t code = returnCode_;
    const bool shown = returnShown_;
    returnCode_ = 0;
    returnShown_ = false;
    try {
        ErrTrap::ErrRaise(code);
    } catch (PluginError& e) {
        if (shown) e.markShown();
        throw;
    }
}

void HCF_Form::OpenForm(const QString& name, bool modal, QObject* data) {
    QPointer<QWidget> view = LoadedView(name);
    if (!view) {
        QWidget* created = nullptr;
        ErrTrap::Handler handler{QStringLiteral("HCF_Form.Open_Form")};
        if (!handler.run([&] { created = Create(name, view_); })) return;
        view = created;
        auto* child = new HCF_Form(created);
        child->Initialise(created, this, data);
        try {
            dynamic_cast<HCF_View*>(created)->Control(child);
        } catch (...) {
            if (view) child->Discard();
            throw;
        }
        if (!view || view->property(ErrTrap::kUnloadedProperty).toBool())
            throw RunTimeError(kErrObjectUnloaded);
        if (child->LinkFrm() != view) {
            // It closed itself during its set-up; its code is ours now.
            RaiseReturnCode();
            return;
        }
    }
    if (modal) {
        ++showingChild_;
        ShowModal(view);
        if (--showingChild_ == 0 && closedView_) closedView_->deleteLater();
    } else {
        if (view_) Hide();
        view->setWindowModality(Qt::NonModal);
        view->show();
    }
    RaiseReturnCode();
}

}  // namespace qel
