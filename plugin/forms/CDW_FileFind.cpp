#include "forms/CDW_FileFind.h"

#include "core/PluginError.h"
#include "forms/ProgrammingError.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace qel {

namespace {

// Moves the dialog, without resizing it, so that its centre lies on the centre of the
// screen or of its owner when it is first shown; then steps aside.
class CentreOnShow : public QObject {
  public:
    CentreOnShow(QWidget* owner, bool onScreen) : owner_(owner), onScreen_(onScreen) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) return false;
        auto* dialog = static_cast<QWidget*>(watched);
        QRect target;
        if (!onScreen_ && owner_) {
            target = owner_->window()->frameGeometry();
        } else {
            const QScreen* screen = owner_ ? owner_->screen() : QGuiApplication::primaryScreen();
            if (screen) target = screen->geometry();
        }
        if (target.isValid()) {
            QRect frame = dialog->frameGeometry();
            frame.moveCenter(target.center());
            dialog->move(frame.topLeft());
        }
        dialog->removeEventFilter(this);
        return false;
    }

  private:
    QWidget* owner_;
    bool onScreen_;
};

}  // namespace

void CDW_FileFind::AddFilter(const QString& description, const QString& extension) {
    if (extension.size() > 3) {
        ProgrammingError(QStringLiteral("CDW_FileFind.AddFilter"),
                         QStringLiteral("1 to 3 characters allowed for a file extension"),
                         MsgIcon::Critical);
        return;
    }
    filters_.emplace_back(description, QLatin1Char('.') + extension);
}

QString CDW_FileFind::FileName(int index) const {
    if (index < 1 || index > files_.size())
        throw PluginError(kErrSubscript, QStringLiteral("CDW_FileFind.FileName"),
                          RunTimeDescription(kErrSubscript));
    return files_[index - 1];
}

QStringList CDW_FileFind::NameFilters() const {
    QStringList list;
    // "*" stands for every file, with or without an extension.
    for (const auto& [description, pattern] : filters_)
        list << QStringLiteral("%1 (%2)").arg(
            description.trimmed(),
            pattern == u".*" ? QStringLiteral("*") : QLatin1Char('*') + pattern);
    return list;
}

void CDW_FileFind::configure(QFileDialog& dialog) const {
    // The toolkit's own dialog can be centred and driven in tests; a platform dialog
    // cannot be moved.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(options_ & kAllowMultiSelect ? QFileDialog::ExistingFiles
                                                    : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontResolveSymlinks, options_ & kNoDereferenceLinks);
    if (options_ & kExtendedNoPlacesBar) dialog.setSidebarUrls({});
    if (!caption_.isEmpty()) dialog.setWindowTitle(caption_);
    if (!filters_.empty()) dialog.setNameFilters(NameFilters());
    if (!folder_.isEmpty()) dialog.setDirectory(folder_);
}

void CDW_FileFind::take(const QStringList& chosen) {
    files_.clear();
    if (chosen.isEmpty()) return;
    // All chosen files lie in one folder.
    QString folder = QFileInfo(chosen.front()).absolutePath();
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    folder_ = folder;
    for (const QString& path : chosen)
        files_ << QFileInfo(path).fileName();
}

void CDW_FileFind::Search(QWidget* owner, bool centreOnScreen) {
    QFileDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("CDW_FileFind"));
    configure(dialog);
    CentreOnShow centre(owner, centreOnScreen);
    dialog.installEventFilter(&centre);
    files_.clear();
    if (dialog.exec() == QDialog::Accepted) take(dialog.selectedFiles());
}

}  // namespace qel
