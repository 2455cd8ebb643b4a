#include "core/WinRes.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace qel {
namespace {

using WinRes::AdjustForm;

TEST(WinResTest, NothingChangesAtOtherResolutions) {
    QWidget form;
    form.resize(400, 300);
    auto* button = new QPushButton(QStringLiteral("OK"), &form);
    button->setGeometry(10, 20, 100, 30);
    AdjustForm(&form, 12.0);  // 120 dots per inch
    EXPECT_EQ(form.size(), QSize(400, 300));
    EXPECT_EQ(button->geometry(), QRect(10, 20, 100, 30));
}

TEST(WinResTest, PlacedControlsGrowByKindAt96Dpi) {
    QWidget form;
    form.resize(400, 300);  // 6000 twips wide at 15 twips a pixel
    auto* button = new QPushButton(QStringLiteral("OK"), &form);
    button->setGeometry(10, 20, 100, 30);
    QFont font = button->font();
    font.setPointSizeF(10.0);
    button->setFont(font);
    auto* radio = new QRadioButton(QStringLiteral("Out"), &form);
    radio->setGeometry(10, 60, 80, 20);
    auto* image = new QLabel(&form);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    image->setPixmap(pixmap);
    image->setGeometry(100, 100, 16, 16);
    auto* slider = new QSlider(Qt::Horizontal, &form);
    slider->setGeometry(50, 150, 200, 20);
    auto* list = new QTreeWidget(&form);
    list->setGeometry(200, 10, 150, 100);
    auto* combo = new QComboBox(&form);
    combo->setGeometry(10, 200, 100, 25);

    AdjustForm(&form, 15.0);

    EXPECT_EQ(form.size(), QSize(504, 378));  // 7560 twips wide
    EXPECT_EQ(button->geometry(), QRect(13, 25, 126, 38));
    EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 12.6);
    EXPECT_EQ(radio->geometry(), QRect(10, 60, 80, 20));
    EXPECT_EQ(image->geometry(), QRect(126, 126, 16, 16));
    // 25 twips lower: 2 pixels.
    EXPECT_EQ(slider->geometry(), QRect(63, 189 + 2, 252, 25));
    EXPECT_EQ(list->geometry(), QRect(252, 13, 150, 100));
    EXPECT_EQ(combo->x(), 13);
    EXPECT_EQ(combo->y(), 252);
    EXPECT_EQ(combo->width(), 126);
}

TEST(WinResTest, LaidOutWindowsAreLeftToTheirLayout) {
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* button = new QPushButton(QStringLiteral("OK"));
    layout->addWidget(button);
    form.resize(300, 200);
    const QFont before = button->font();
    AdjustForm(&form, 15.0);
    EXPECT_EQ(form.size(), QSize(300, 200));
    EXPECT_EQ(button->font(), before);
}

}  // namespace
}  // namespace qel
