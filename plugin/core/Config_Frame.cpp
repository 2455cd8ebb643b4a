#include "core/Config_Frame.h"

#include "core/Client.h"
#include "core/ErrHandler.h"
#include "core/Text.h"
#include "core/UiServices.h"
#include "forms/HCF_Text.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qel {
namespace {

const QString kCaption = QStringLiteral("DMX Frame Configuration");
const QString kRangeTitle = QStringLiteral("Setting out of range");

struct FieldLook {
    const char* label;
    const char* tooltip;
    const char* mask;
};
constexpr FieldLook kLooks[] = {
    {"Frame Rate:", "Frames / second", "09"},
    {"Break Time:", "Frame Break Time in us", "0099"},
    {"Mark Time:", "Frame Mark time in us", "0999"},
    {"RX Time Out:", "RDM response time out in ms (0 = default)", "09"},
};

QLineEdit* AddField(QGridLayout* grid, int row, const QString& key, const FieldLook& look) {
    auto* label = new QLabel(QString::fromLatin1(look.label));
    label->setObjectName(QStringLiteral("Label_") + key);
    auto* box = new QLineEdit;
    box->setObjectName(QStringLiteral("Input_") + key);
    box->setToolTip(QString::fromLatin1(look.tooltip));
    box->setFixedWidth(64);
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    return box;
}

}  // namespace

Config_Frame::Config_Frame(QWidget* parent)
    : ClosingDialog(parent),
      settings_{{
          {QStringLiteral("FrameRate"), QStringLiteral("Frame Rate"), 40, Client::QEL_GetFrameRate,
           Client::QEL_SetFrameRate},
          {QStringLiteral("BreakTime"), QStringLiteral("Break Time"), 0, Client::QEL_GetBreakTime,
           Client::QEL_SetBreakTime},
          {QStringLiteral("MarkTime"), QStringLiteral("Mark Time"), 0, Client::QEL_GetMarkTime,
           Client::QEL_SetMarkTime},
          {QStringLiteral("DelayTime"), QStringLiteral("Delay Time"), 0, Client::QEL_GetDelayTime,
           Client::QEL_SetDelayTime},
      }} {
    setWindowTitle(kCaption);

    auto* dmx = new QGroupBox(QStringLiteral("Device DMX Settings"));
    dmx->setObjectName(QStringLiteral("Frame_DMX"));
    auto* dmxGrid = new QGridLayout(dmx);
    auto* rdm = new QGroupBox(QStringLiteral("Device RDM Settings"));
    rdm->setObjectName(QStringLiteral("Frame_RDM"));
    auto* rdmGrid = new QGridLayout(rdm);

    for (int i = 0; i < static_cast<int>(settings_.size()); ++i) {
        Setting& s = settings_[i];
        QLineEdit* box = i == DelayTime ? AddField(rdmGrid, 0, s.key, kLooks[i])
                                        : AddField(dmxGrid, i, s.key, kLooks[i]);
        s.field = new HCF_Text(this);
        s.field->Assign(box);
        s.field->Mask(QString::fromLatin1(kLooks[i].mask));
        connect(s.field, &HCF_Text::AfterUpdate, this,
                [this, i](const QString& text) { Entered(static_cast<Index>(i), text); });
    }
    dmxGrid->setColumnStretch(2, 1);
    rdmGrid->setColumnStretch(2, 1);
    // The two frames' fields line up.
    const QList<QLabel*> labels = dmx->findChildren<QLabel*>() + rdm->findChildren<QLabel*>();
    int labelWidth = 0;
    for (const QLabel* label : labels)
        labelWidth = std::max(labelWidth, label->fontMetrics().horizontalAdvance(label->text()));
    for (QLabel* label : labels)
        label->setFixedWidth(labelWidth + 4);

    auto* instruction = new QLabel(QStringLiteral("Modify Setting as Appropriate"));
    instruction->setObjectName(QStringLiteral("Label_Instruction"));

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("Button_OK"));
    defaults_ = new QPushButton(QStringLiteral("Defaults"));
    defaults_->setObjectName(QStringLiteral("Button_Defaults"));
    defaults_->setEnabled(false);
    // Enter in a field must not close the window behind the person's back.
    for (QPushButton* button : {ok, defaults_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    connect(defaults_, &QPushButton::clicked, this, &Config_Frame::Defaults);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(instruction, 1);
    buttons->addWidget(defaults_);
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dmx);
    layout->addWidget(rdm);
    layout->addLayout(buttons);
    ok->setFocus();
}

void Config_Frame::Initialise() {
    // This window works on the unit alone: whatever it is handed is a mistake.
    if (Form() && Form()->DataIsSet())
        ErrTrap::LocalError(QStringLiteral("Class object ") + Quote(Form()->DataClass()) +
                            QStringLiteral(" not handled"));

    using namespace ErrTrap;
    const QString location = kName + QStringLiteral(".Form_Load");
    Handler h{location,
              {On(ErrAPI_Connection, ErrAPI_Response_Missing)
                   .ask(kCaption)
                   .then([this, location](const PluginError&) {
                       ErrUnload(this, ErrSYS_Comms, location);
                   }),
               On(ErrSYS_Local).show().absorb(),
               Otherwise().show().then([this, location](const PluginError& e) {
                   ErrUnload(this, e.number(), location);
               })}};
    h.run([&] {
        for (const Setting& s : settings_) {
            const int value = h.step([&] { return s.get(1); });
            s.field->Text(QString::number(value));
        }
        defaults_->setEnabled(true);
    });
}

bool Config_Frame::Write(const Setting& setting, int value) {
    try {
        setting.set(value);
    } catch (const PluginError& e) {
        if (e.number() != ErrTrap::ErrQEL_Constraint) throw;
        return false;
    }
    return true;
}

int Config_Frame::Shown(const Setting& setting) {
    QString text = setting.field->Text();
    text.remove(QChar(0));
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : -1;
}

void Config_Frame::Entered(Index index, const QString& text) {
    using namespace ErrTrap;
    const Setting& s = settings_[index];
    Handler h{
        kName + QStringLiteral(".Input_") + s.key + QStringLiteral("_AfterUpdate"),
        {On(ErrAPI_Connection, ErrAPI_Response_Missing)
             .ask(kCaption)
             .then([this](const PluginError&) { BugOutLater(ErrSYS_Comms); }),
         On(ErrAPI_DeviceMissig).then([this](const PluginError& e) { BugOutLater(e.number()); }),
         On(ErrSYS_Local).show().absorb(), Otherwise().show().absorb()}};
    h.runInEvent([&] {
        // The mask lets only digits through: at most four of them.
        const auto value = static_cast<int16_t>(text.trimmed().toInt());
        const bool accepted = h.step([&] { return Write(s, value); });
        if (!accepted) {
            const int minimum = h.step([&] { return s.get(2); });
            const int maximum = h.step([&] { return s.get(3); });
            Ui().messageBox(kRangeTitle,
                            QStringLiteral("Valid values are from ") + QString::number(minimum) +
                                QStringLiteral(" to ") + QString::number(maximum),
                            MsgIcon::Exclamation, MsgButtons::Ok);
            s.field->Revert();
            s.field->SetFocus();
            return;
        }
        // Frame rate and time-out limit each other: the unit may have moved the other.
        if (index != FrameRate && index != DelayTime) return;
        const Setting& other = settings_[index == FrameRate ? DelayTime : FrameRate];
        const int now = h.step([&] { return other.get(1); });
        if (now == Shown(other)) return;
        other.field->Text(QString::number(now));
        if (index == FrameRate) {
            Ui().messageBox(QStringLiteral("Frame Rate"),
                            QStringLiteral("The RX Time Out has been adjusted for the new value"),
                            MsgIcon::Information, MsgButtons::Ok);
        } else {
            Ui().messageBox(QStringLiteral("RX Time Out"),
                            QStringLiteral("The Frame Rate has been adjusted for the new value"),
                            MsgIcon::Information, MsgButtons::Ok);
        }
    });
}

void Config_Frame::Defaults() {
    using namespace ErrTrap;
    Handler h{kName + QStringLiteral(".Button_Defaults_Click"),
              {On(ErrAPI_Connection, ErrAPI_Response_Missing)
                   .ask(kCaption)
                   .then([this](const PluginError&) { BugOut(ErrSYS_Comms); }),
               On(ErrAPI_DeviceMissig).then([this](const PluginError& e) { BugOut(e.number()); }),
               On(ErrSYS_Local).show().absorb(),
               Otherwise().show().then([this](const PluginError&) { BugOut(0); })}};
    h.runInEvent([&] {
        for (const Setting& s : settings_) {
            if (!h.step([&] { return Write(s, s.defaultValue); })) {
                Ui().messageBox(
                    kRangeTitle,
                    QStringLiteral("Item ") + s.item + QStringLiteral(" default is out of range"),
                    MsgIcon::Exclamation, MsgButtons::Ok);
                return;
            }
            const int now = h.step([&] { return s.get(1); });
            s.field->Text(QString::number(now));
        }
    });
}

}  // namespace qel
