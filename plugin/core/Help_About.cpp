#include "core/Help_About.h"

#include "core/AUF_WebLink.h"
#include "core/AppInfo.h"
#include "core/Client.h"
#include "core/ErrHandler.h"
#include "core/ViewArt.h"
#include "core/WebPages.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace qel {

Help_About::Help_About(QWidget* parent) : ClosingDialog(parent) {
    setWindowTitle(QStringLiteral("  Norvane Plugin for DMXControl"));

    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("Frame_Logo"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* logo = new QLabel;
    logo->setObjectName(QStringLiteral("Image_Logo"));
    logo->setPixmap(ViewArt::MakerLogo());
    (new QVBoxLayout(frame))->addWidget(logo);
    logo->installEventFilter(this);
    frame->installEventFilter(this);

    auto* texts = new QVBoxLayout;
    for (size_t i = 0; i < info_.size(); ++i) {
        info_[i] = new QLabel;
        info_[i]->setObjectName(QStringLiteral("LabelInfo_") + QString::number(i));
        info_[i]->installEventFilter(this);
        texts->addWidget(info_[i]);
    }
    QFont title = info_[0]->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.25);
    info_[0]->setFont(title);
    info_[4]->setContentsMargins(0, 8, 0, 0);

    link_ = new QLabel(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(WebPages::Home(), WebPages::kServerHost));
    link_->setObjectName(QStringLiteral("Label_WebLink"));
    link_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    link_->setCursor(Qt::PointingHandCursor);
    connect(link_, &QLabel::linkActivated, this,
            [this](const QString& address) { OpenWebLink(this, address); });
    texts->addWidget(link_);
    texts->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame, 0, Qt::AlignTop);
    layout->addLayout(texts, 1);
}

void Help_About::Initialise() {
    ErrTrap::Handler h{kName + QStringLiteral(".Form_Load")};
    h.run([&] {
        info_[0]->setText(QStringLiteral("About ") + AppInfo::kAppTitle);
        info_[1]->setText(QStringLiteral("DMX-QEL Plugin"));
        info_[2]->setText(QStringLiteral("SW Revision: ") + QStringLiteral("%1.%2.%3")
                                                                .arg(AppInfo::kVersionMajor)
                                                                .arg(AppInfo::kVersionMinor)
                                                                .arg(AppInfo::kVersionRevision));
        info_[4]->setText(AppInfo::kCompanyName + QStringLiteral("\nLighting control interfaces"));
        info_[3]->setText(QStringLiteral("API Version: ") + Client::API_Version());
    });
}

bool Help_About::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return ClosingDialog::eventFilter(watched, event);
}

void Help_About::mousePressEvent(QMouseEvent* event) {
    ClosingDialog::mousePressEvent(event);
    // A press beside the link's text reaches the window too: the link's line is the
    // link's, not the background's.
    if (childAt(event->position().toPoint()) == link_) return;
    close();
}

}  // namespace qel
