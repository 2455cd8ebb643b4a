// The file-open dialog: the caller lists file types, sets the title, the start folder
// and option values, runs Search, and reads the chosen folder and file names.
//
//   CDW_FileFind find;
//   find.AddFilter("Flash Files ", "FUD");
//   find.Caption("Select Firmware File");
//   find.AddOption(0x80000 | 0x200000 | 0x4);
//   find.FilePath(AUF_Registry::LoadText("SourceDir"));
//   find.Search(this, false);
//   if (find.FileCount() == 0) return;           // cancelled
//   const QString path = find.FilePath() + '/' + find.FileName(1);
//
// Option values keep their meaning from the common dialog flags: 0x200 lets the person
// pick several files, 0x100000 returns links rather than what they point to, 0x4 hides
// the read-only choice (this dialog has none), 0x1000000 (extended flag 1) hides the
// side bar of places. The others (explorer style, long names, overwrite prompt, ...)
// describe what this dialog always is.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

class QFileDialog;
class QWidget;

namespace qel {

class CDW_FileFind {
  public:
    static constexpr uint32_t kAllowMultiSelect = 0x200;
    static constexpr uint32_t kNoDereferenceLinks = 0x100000;
    static constexpr uint32_t kExtendedNoPlacesBar = 0x1000000;

    // A file type: `extension` has 1 to 3 characters, or is "*" for all files. A longer
    // one is a programming error, refused with a message.
    void AddFilter(const QString& description, const QString& extension);
    void Caption(const QString& title) { caption_ = title; }
    void AddOption(uint32_t value) { options_ |= value; }
    uint32_t Options() const { return options_; }

    // The start folder; after Search, the chosen folder (without a closing "/").
    void FilePath(const QString& folder) { folder_ = folder; }
    QString FilePath() const { return folder_; }
    int FileCount() const { return static_cast<int>(files_.size()); }
    // The chosen file name of that number, from 1; raises error 9 for another number.
    QString FileName(int index) const;

    // The file types as the dialog lists them: "Flash Files (*.FUD)", "All (*)".
    QStringList NameFilters() const;

    // Shows the dialog, centred on the screen (`centreOnScreen`) or on `owner`, and fills
    // the results. Cancelling empties the file list and keeps the start folder.
    void Search(QWidget* owner, bool centreOnScreen);

  private:
    void configure(QFileDialog& dialog) const;
    void take(const QStringList& chosen);

    std::vector<std::pair<QString, QString>> filters_;  // description, ".ext"
    QString caption_;
    uint32_t options_ = 0;
    QString folder_;
    QStringList files_;
};

}  // namespace qel
