#include "HostWindow.h"

#include "FaderStrip.h"
#include "HostSession.h"
#include "LevelGrid.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// How often the input view catches up with what the plugin delivered: the plugin
// delivers a frame every 200 ms, so this never lags by more than one.
constexpr int kInputRefreshMs = 100;
}  // namespace

HostWindow::HostWindow(HostSession& session, QWidget* parent)
    : QMainWindow(parent), session_(session) {
    setObjectName("HostWindow");
    setWindowTitle(tr("QEL Host - %1").arg(session.entry().title()));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto* bar = new QHBoxLayout;
    enable_ = new QPushButton(tr("&Enable"), central);
    enable_->setObjectName("enableButton");
    disable_ = new QPushButton(tr("&Disable"), central);
    disable_->setObjectName("disableButton");
    configure_ = new QPushButton(tr("&Configure..."), central);
    configure_->setObjectName("configureButton");
    auto* plugin = new QLabel(session.entry().fileName, central);
    plugin->setObjectName("pluginFile");
    bar->addWidget(enable_);
    bar->addWidget(disable_);
    bar->addWidget(configure_);
    bar->addStretch(1);
    bar->addWidget(plugin);
    layout->addLayout(bar);

    layout->addWidget(buildOutput());
    layout->addWidget(buildInput(), 1);

    log_ = new QPlainTextEdit(central);
    log_->setObjectName("callLog");
    log_->setReadOnly(true);
    log_->setMaximumBlockCount(1000);
    log_->setMinimumHeight(90);
    log_->setMaximumHeight(160);
    layout->addWidget(log_);
    setCentralWidget(central);

    state_ = new QLabel(this);
    state_->setObjectName("hostState");
    statusBar()->addWidget(state_, 1);

    connect(enable_, &QPushButton::clicked, this, [this] { session_.enable(); });
    connect(disable_, &QPushButton::clicked, this, [this] { session_.disable(); });
    connect(configure_, &QPushButton::clicked, this, [this] { session_.configure(); });
    connect(&session_, &HostSession::called, this, &HostWindow::logCall);
    connect(&session_, &HostSession::enabledChanged, this, &HostWindow::refreshState);

    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &HostWindow::refreshInput);
    timer->start(kInputRefreshMs);
    refreshState();
}

QWidget* HostWindow::buildOutput() {
    auto* box = new QGroupBox(tr("Output"), this);
    box->setObjectName("outputBox");
    auto* layout = new QHBoxLayout(box);
    for (int i = 0; i < kFaders; ++i) {
        auto* fader = new FaderStrip(i + 1, i + 1, box);
        connect(fader, &FaderStrip::levelChanged, this, &HostWindow::sendLevel);
        connect(fader, &FaderStrip::slotChanged, this,
                [this, fader](int slot) { fader->showLevel(session_.sentLevel(slot)); });
        faders_.push_back(fader);
        layout->addWidget(fader);
    }
    layout->addStretch(1);

    auto* any = new QGroupBox(tr("Any slot"), box);
    any->setObjectName("anySlotBox");
    auto* form = new QFormLayout(any);
    anySlot_ = new QSpinBox(any);
    anySlot_->setObjectName("anySlot");
    anySlot_->setRange(1, 512);
    anyLevel_ = new QSpinBox(any);
    anyLevel_->setObjectName("anyLevel");
    anyLevel_->setRange(0, 255);
    auto* set = new QPushButton(tr("&Set"), any);
    set->setObjectName("setAnyButton");
    form->addRow(tr("Slot:"), anySlot_);
    form->addRow(tr("Level:"), anyLevel_);
    form->addRow(set);
    connect(set, &QPushButton::clicked, this,
            [this] { sendLevel(anySlot_->value(), anyLevel_->value()); });
    connect(anySlot_, &QSpinBox::valueChanged, this,
            [this](int slot) { anyLevel_->setValue(session_.sentLevel(slot)); });
    layout->addWidget(any, 0, Qt::AlignTop);
    return box;
}

QWidget* HostWindow::buildInput() {
    auto* box = new QGroupBox(tr("Input"), this);
    box->setObjectName("inputBox");
    auto* layout = new QVBoxLayout(box);
    input_ = new LevelGrid(box);
    inputSummary_ = new QLabel(tr("No input received"), box);
    inputSummary_->setObjectName("inputSummary");
    layout->addWidget(input_, 1);
    layout->addWidget(inputSummary_);
    return box;
}

void HostWindow::startPlugin() {
    note(tr("Plugin %1").arg(session_.entry().path));
    if (!session_.start() && !session_.error().isEmpty()) note(session_.error());
    refreshState();
}

void HostWindow::note(const QString& text) {
    lastLoggedSlot_ = 0;
    log_->appendPlainText(text);
}

void HostWindow::logCall(const PluginCall& call) {
    // A fader drag makes one call per step: keep one line per slot being moved.
    const bool isSetChannel = call.method == QLatin1String("SetChannel");
    const int slot = isSetChannel ? call.arguments.section(',', 0, 0).toInt() : 0;
    if (isSetChannel && slot == lastLoggedSlot_ && call.succeeded) {
        QTextCursor cursor(log_->document()->lastBlock());
        cursor.select(QTextCursor::BlockUnderCursor);
        cursor.removeSelectedText();
    }
    log_->appendPlainText(call.describe());
    lastLoggedSlot_ = isSetChannel && call.succeeded ? slot : 0;
}

void HostWindow::sendLevel(int slot, int level) {
    session_.setChannel(slot, level);
    for (FaderStrip* fader : faders_) {
        if (fader->slot() == slot) fader->showLevel(level);
    }
    if (anySlot_->value() == slot) anyLevel_->setValue(level);
}

void HostWindow::refreshInput() {
    const HostHelper& helper = session_.helper();
    if (helper.deliveries() == shownDeliveries_) return;
    shownDeliveries_ = helper.deliveries();
    input_->setLevels(helper.levels());
    inputSummary_->setText(tr("%1 levels received, highest slot %2")
                               .arg(helper.deliveries())
                               .arg(helper.highestSlot()));
}

void HostWindow::refreshState() {
    const bool loaded = session_.loaded();
    enable_->setEnabled(loaded && !session_.enabled());
    disable_->setEnabled(loaded && session_.enabled());
    configure_->setEnabled(loaded);
    QString text =
        session_.pluginName().isEmpty() ? session_.entry().title() : session_.pluginName();
    text += session_.enabled() ? tr(": enabled") : tr(": disabled");
    state_->setText(text);
}

void HostWindow::closeEvent(QCloseEvent* event) {
    // The plugin cannot be ended from inside one of its own calls.
    if (session_.busy()) {
        note(tr("The plugin is busy: close its window first."));
        event->ignore();
        return;
    }
    session_.stop();
    event->accept();
}
