// Makes a report-style list a small table keyed by integer row keys: the owning view
// declares the columns with their widths (twips), adds and removes rows by key, reads
// the key of the selected row and colours it, and hears of clicks and selection changes.
// Rows stand in ascending key order; the first column shows the key.
//
//   devices_ = new HCF_List(this);
//   devices_->Initialise(ui->ListDevices, 8);        // 8 rows visible
//   devices_->AddCol("Item", 600);
//   devices_->AddCol("Unique ID", 2200);
//   devices_->AddRow(1, "12 34 : 56 78 9A BC|Dimmer", "|", Qt::black);
//   connect(devices_, &HCF_List::DblClick, this, &Device_Select::openDevice);
//
// The wrapper sizes the list: its height from the visible rows, its width from the
// columns, with room for a vertical scroll bar only while there are more rows than fit.
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <vector>

#include <QTreeWidget>

namespace qel {

class HCF_List : public QObject {
    Q_OBJECT
  public:
    explicit HCF_List(QObject* parent = nullptr);
    ~HCF_List() override;

    // Attaches the list and sizes it for `visibleRows` rows. Attaching twice is a
    // programming error and is refused.
    void Initialise(QTreeWidget* list, int32_t visibleRows);
    QTreeWidget* MyLink() const { return list_; }

    void AddCol(const QString& caption, int32_t widthTwips);
    // Inserts a row in key order: the key in the first column, the fields of `text`
    // (split at the first character of `separator`) in the others, all in `color`.
    // Does nothing when a row with this key exists.
    void AddRow(int32_t key, const QString& text, const QString& separator, const QColor& color);
    void DelRow(int32_t key);
    void DelAll();
    // Detaches the list and forgets the columns.
    void Terminate();

    // The key of the selected row as last reported, 0 for none.
    int32_t Index() const { return selected_; }
    // Colours the selected row, all its cells.
    void ForeColor(const QColor& color);

    // The list's size as laid out in twips (the width follows the columns, the height the
    // visible rows).
    int32_t WidthTwips() const { return widthTwips_; }
    int32_t HeightTwips() const { return heightTwips_; }
    int32_t Rows() const;

  signals:
    void ClickL(int32_t key);
    void ClickR(int32_t key);
    void DblClick(int32_t key);
    void OnChange(int32_t key);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool linked(const char* operation) const;
    int32_t selectedRowKey(bool* any) const;
    void click();
    void selectionMoved();
    void setWidth(int32_t twips, bool scrollBar);
    void setHeight();

    QPointer<QTreeWidget> list_;
    bool linked_ = false;
    int32_t visibleRows_ = 0;
    std::vector<int32_t> widths_;  // twips, scaled
    int32_t total_ = 0;
    int32_t widthTwips_ = 0;
    int32_t heightTwips_ = 0;
    int32_t selected_ = 0;
    Qt::MouseButton lastButton_ = Qt::NoButton;
    bool doubleClicked_ = false;
};

}  // namespace qel
