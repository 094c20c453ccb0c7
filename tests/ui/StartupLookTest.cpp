// What the start-up does to be quick leaves the window as it was: the group
// boxes' frames look the same, the window's own texts go without text
// shaping while text from outside that needs it keeps it, the pictures decoded
// ahead are the pictures, and a box shown before the window's first frame has
// the tool's icon.

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

#include "FormControls.h"
#include "GroupBoxFrameStyle.h"
#include "KxApplication.h"
#include "QtMessageBoxes.h"
#include "ShellFixture.h"
#include "TextShaping.h"

namespace {

QImage Drawn(QWidget& widget, QStyle& style) {
    widget.setStyle(&style);
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    widget.render(&image);
    return image;
}

// The largest difference of one colour channel between two pictures of the
// same size (256 when the sizes differ).
int LargestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 256;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

// Drawn without smoothing, the frames differ from Fusion's by at most one
// level of 255 (the rounding of the smoothing), nowhere by more.
TEST(GroupBoxFrames, AsFusionDrawsThemAtTheFormsSizes) {
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    ASSERT_NE(fusion, nullptr);
    std::unique_ptr<GroupBoxFrameStyle> frames(GroupBoxFrameStyle::Replacing(*fusion));
    ASSERT_NE(frames, nullptr);
    struct Box {
        QSize size;
        const char* title;
        bool checkable;
    };
    // The listing's box, the program buttons', the strip of P0..P9, a titled
    // box of "Opcje", a checkable one and a box too small for its picture.
    const Box boxes[] = {{{323, 531}, "", false},
                         {{191, 141}, "", false},
                         {{526, 45}, "", false},
                         {{526, 62}, "Operacje na plikach", false},
                         {{255, 122}, "Urządzenia USB", true},
                         {{9, 7}, "", false}};
    for (const Box& each : boxes) {
        QGroupBox box(QString::fromUtf8(each.title));
        box.setCheckable(each.checkable);
        box.resize(each.size);
        EXPECT_LE(LargestDifference(Drawn(box, *frames), Drawn(box, *fusion)), 1)
            << each.size.width() << "x" << each.size.height() << " " << each.title;
    }
    // Only Fusion is replaced.
    std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("windows")));
    ASSERT_NE(windows, nullptr);
    EXPECT_EQ(GroupBoxFrameStyle::Replacing(*windows), nullptr);
}

TEST(TextShaping, NeededOnlyForScriptsThatAreShaped) {
    struct Case {
        const char* text;
        bool needed;
    };
    const Case cases[] = {
        {"", false},
        {"Program został zapisany do pamięci wewnetrznej urządzenia", false},
        {"[03]  X_DST  +0012000", false},
        {"/home/operator/programy/wózek ŁÓDŹ.kxp", false},
        {"Файл программы.kxp", false},  // Cyrillic
        {"πρόγραμμα.kxp", false},       // Greek
        {"プログラム 程序.kxp", false}, // Japanese, Chinese
        {"😀.kxp", false},               // a character beyond 16 bits, alone
        {"برنامج.kxp", true},           // Arabic
        {"תוכנית.kxp", true},           // Hebrew
        {"कार्यक्रम.kxp", true},          // Devanagari
        {"wo\xcc\x81zek.kxp", true},    // a combining accent
        {"👨\xe2\x80\x8d🔧", true},       // joined by a zero-width joiner
    };
    for (const Case& each : cases)
        EXPECT_EQ(TextShaping::Needed(QString::fromUtf8(each.text)), each.needed) << each.text;

    const QFont window = KxApplication::WindowFont();
    EXPECT_TRUE(window.styleStrategy() & QFont::PreferNoShaping);
    EXPECT_FALSE(TextShaping::Shaped(window).styleStrategy() & QFont::PreferNoShaping);
    EXPECT_EQ(TextShaping::Unshaped(TextShaping::Shaped(window)), window);
}

using StartupLook = ShellFixture;

TEST_F(StartupLook, StatusTextFromOutsideIsShapedTheWindowsOwnIsNot) {
    QLabel* panel = window->StatusPanel(0);
    auto shaped = [panel] { return !(panel->font().styleStrategy() & QFont::PreferNoShaping); };
    EXPECT_FALSE(shaped());
    window->ShowStatus(QString::fromUtf8("Nie można otworzyć pliku /dane/برنامج.kxp"));
    EXPECT_TRUE(shaped());
    window->ShowStatus(QStringLiteral("Program został otwarty"));
    EXPECT_FALSE(shaped());
    // The window's own labels, the listing's included, go without shaping;
    // the label in the listing's box keeps the window's font.
    EXPECT_TRUE(Find("line00")->font().styleStrategy() & QFont::PreferNoShaping);
    const QFont held = Find("HeldLabel")->font();
    EXPECT_EQ(held, window->font());
    EXPECT_FALSE(QFontInfo(held).fixedPitch());
    // The devices' names may be in any script.
    EXPECT_FALSE(Find("ListBox1")->font().styleStrategy() & QFont::PreferNoShaping);
}

TEST(StartupBoxes, ABoxBeforeTheFirstFrameHasTheIconAndShapesAForeignName) {
    QApplication::setWindowIcon(QIcon());
    QtMessageBoxes boxes;
    bool shaped = false;
    QTimer::singleShot(0, [&shaped] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shaped = !(box->font().styleStrategy() & QFont::PreferNoShaping);
        box->button(QMessageBox::Ok)->click();
    });
    boxes.Show(QMessageBox::Warning, QStringLiteral("KX-RD4 - PC"),
               QString::fromUtf8("Nie można odczytać pliku /dane/برنامج.kxp"), QMessageBox::Ok);
    EXPECT_TRUE(shaped);
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
}

TEST(StartupPictures, DecodedAheadAreThePictures) {
    KxApplication::WindowFont(); // the loading has reached its pictures by now or never will
    int seen = 0;
    for (const char* folder : {":/shell", ":/app"}) {
        const QDir dir{QString::fromLatin1(folder)};
        for (const QString& name : dir.entryList({QStringLiteral("*.png")}, QDir::Files)) {
            const QString path = dir.filePath(name);
            QImageReader reader(path, "png");
            const QImage now = QPixmap::fromImage(reader.read()).toImage();
            ASSERT_FALSE(now.isNull()) << path.toStdString();
            EXPECT_EQ(ResourcePixmap(path).toImage(), now) << path.toStdString();
            ++seen;
        }
    }
    EXPECT_GE(seen, 18);
}

} // namespace
