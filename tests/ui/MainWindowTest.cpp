// The main window's frame by objectName: pages, tool bar, menu, status bar,
// the boxes of "Opcje", the start state, the about box and Timer1.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <algorithm>

#include "KxVersion.h"
#include "ShellFixture.h"

namespace {

using MainWindow = ShellFixture;

struct Placed {
    const char* name;
    QRect geometry;
};

TEST_F(MainWindow, ControlsStandWhereTheFormPlacesThem) {
    const Placed table[] = {
        {"ToolBar1", {0, 0, 545, 29}},     {"SpeedButton1", {0, 2, 23, 22}},
        {"SpeedButton2", {23, 2, 23, 22}}, {"SpeedButton3", {46, 2, 23, 22}},
        {"SpeedButton4", {69, 2, 23, 22}}, {"PageControl1", {8, 28, 537, 625}},
        {"StatusBar", {0, 646, 545, 19}},  {"ProgNumBox", {0, 3, 526, 45}},
        {"p0", {23, 17, 34, 17}},          {"p9", {473, 17, 34, 17}},
        {"GroupBox3", {0, 54, 191, 141}},  {"BitBtn6", {18, 21, 151, 52}},
        {"BitBtn7", {18, 79, 151, 52}},    {"GroupBox10", {0, 201, 191, 134}},
        {"BitBtn8", {18, 13, 151, 52}},    {"BitBtn9", {18, 71, 151, 52}},
        {"GroupBox8", {0, 341, 191, 84}},  {"BitBtn5", {18, 15, 151, 52}},
        {"GroupBox9", {0, 431, 191, 104}}, {"BitBtn10", {18, 15, 151, 52}},
        {"Prog", {18, 73, 151, 24}},       {"GroupBox11", {0, 541, 191, 44}},
        {"pb", {18, 13, 151, 16}},         {"ProgBox", {203, 54, 323, 531}},
        {"line00", {36, 21, 156, 20}},     {"line07", {36, 161, 156, 20}},
        {"line24", {36, 501, 156, 20}},    {"GroupBox1", {0, 3, 526, 62}},
        {"GroupBox2", {0, 71, 265, 122}},  {"GroupBox12", {271, 71, 255, 122}},
        {"ListBox1", {13, 24, 228, 82}},   {"Memo1", {3, 377, 348, 49}},
        {"Memo2", {3, 432, 348, 96}},      {"Memo3", {3, 534, 348, 51}},
        {"Button2", {357, 560, 75, 25}},   {"Button3", {357, 375, 75, 25}},
    };
    for (const Placed& each : table) {
        QWidget* widget = Find(QLatin1String(each.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), each.geometry) << each.name;
    }
}

TEST_F(MainWindow, CheckBoxesStandInPlaceAndMayGrowToShowTheirCaption) {
    const Placed table[] = {
        {"AutoLoad", {24, 23, 376, 24}},
        {"CheckBox1", {24, 23, 233, 24}},
        {"CheckBox2", {24, 47, 193, 24}},
    };
    for (const Placed& each : table) {
        QWidget* check = Find(QLatin1String(each.name));
        ASSERT_NE(check, nullptr);
        EXPECT_EQ(check->pos(), each.geometry.topLeft()) << each.name;
        EXPECT_EQ(check->height(), each.geometry.height()) << each.name;
        EXPECT_GE(check->width(), each.geometry.width()) << each.name;
        EXPECT_LE(check->geometry().right(), check->parentWidget()->width()) << each.name;
    }
}

TEST_F(MainWindow, PagesInTabOrderWithTheirCaptions) {
    auto* pages = Find<QTabWidget>("PageControl1");
    ASSERT_EQ(pages->count(), 3);
    const char* names[] = {"TabSheet1", "TabSheet3", "TabSheet2"};
    const char* captions[] = {"Programowanie", "Sterowanie", "Opcje"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pages->widget(i)->objectName(), QLatin1String(names[i]));
        EXPECT_EQ(pages->tabText(i), QString::fromUtf8(captions[i]));
    }
    EXPECT_EQ(window->TabSheet1, pages->widget(0));
    EXPECT_EQ(window->TabSheet3, pages->widget(1));
    EXPECT_EQ(window->TabSheet2, pages->widget(2));
}

TEST_F(MainWindow, StartsOnTheProgrammingPageWithEmptyP0) {
    EXPECT_EQ(window->objectName(), "FMain");
    EXPECT_EQ(window->windowTitle(), "KX-RD4 PC  -  [Nowy]");
    EXPECT_FALSE(window->Modified().IsSet());
    EXPECT_TRUE(window->CurrentFile().isEmpty());
    EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentWidget(), window->TabSheet1);
    EXPECT_TRUE(Find<QRadioButton>("p0")->isChecked());
    EXPECT_EQ(window->CurrentProgram(), 0);
    EXPECT_EQ(Find<QComboBox>("Prog")->currentIndex(), 0);
    EXPECT_EQ(Find<QComboBox>("Prog")->count(), 10);
    EXPECT_EQ(Find<QComboBox>("Prog")->itemText(9), "Program 9");
    EXPECT_EQ(Find<QProgressBar>("pb")->maximum(), 25);
    for (int n = 0; n < 25; ++n) {
        const QString name = QStringLiteral("line%1").arg(n, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(Find<QLabel>(name)->text(),
                  QStringLiteral("[%1]  *****  ").arg(n, 2, 10, QLatin1Char('0')));
    }
    // The first device scan has run while the window was shown: no device,
    // so nothing was listed and the link is down.
    EXPECT_TRUE(window->StatusPanel(0)->text().isEmpty());
    EXPECT_EQ(window->StatusPanel(1)->text(), QStringLiteral("Rozłączony"));
    EXPECT_EQ(window->StatusPanel(0)->width(), 400);
    EXPECT_GE(window->StatusPanel(1)->width(), 50);
    EXPECT_GE(window->StatusPanel(1)->width(),
              window->StatusPanel(1)->fontMetrics().horizontalAdvance("Rozłączony"));
}

TEST_F(MainWindow, OptionsPageBoxesAndHiddenDiagnostics) {
    auto* autoLoad = Find<QCheckBox>("AutoLoad");
    EXPECT_EQ(autoLoad->text(), "Automatycznie wczytaj ostatni program przy starcie");
    EXPECT_TRUE(autoLoad->isChecked());
    EXPECT_TRUE(autoLoad->isEnabled());
    auto* check1 = Find<QCheckBox>("CheckBox1");
    auto* check2 = Find<QCheckBox>("CheckBox2");
    EXPECT_EQ(check1->text(), "Połącz z urządzeniem przy starcie programu");
    EXPECT_EQ(check2->text(), "Automatycznie wznawiaj polączenie");
    for (QCheckBox* check : {check1, check2}) {
        EXPECT_TRUE(check->isChecked());
        EXPECT_FALSE(check->isEnabled());
    }
    EXPECT_EQ(Find<QGroupBox>("GroupBox1")->title(), "Operacje na plikach");
    EXPECT_EQ(Find<QGroupBox>("GroupBox2")->title(), "Połączenie");
    EXPECT_EQ(Find<QGroupBox>("GroupBox12")->title(), "Urządzenia USB");
    EXPECT_EQ(Find<QListWidget>("ListBox1")->count(), 0);

    Find<QTabWidget>("PageControl1")->setCurrentWidget(window->TabSheet2);
    for (const char* name : {"Memo1", "Memo2", "Memo3", "Button2", "Button3"})
        EXPECT_FALSE(Find(QLatin1String(name))->isVisible()) << name;
    EXPECT_EQ(Find<QPushButton>("Button2")->text(), "Generuj");
    EXPECT_EQ(Find<QPushButton>("Button3")->text(), "Czysc");
}

TEST_F(MainWindow, FontsOfWindowListingAndMemos) {
    // Tahoma and Courier New, or the first of their stand-ins installed here
    // (asked for by name, so the font drawn is the one asked for).
    const QStringList installed = QFontDatabase::families();
    auto expectFamily = [&](const QFont& font, const QStringList& choices, const char* name) {
        const auto first = std::find_if(choices.begin(), choices.end(),
                                        [&](const QString& f) { return installed.contains(f); });
        EXPECT_EQ(font.family(), first != choices.end() ? *first : choices.front()) << name;
        EXPECT_EQ(QFontInfo(font).family(), font.family()) << name;
    };
    const QStringList proportional = {"Tahoma", "Liberation Sans", "DejaVu Sans"};
    const QStringList fixed = {"Courier New", "Liberation Mono", "DejaVu Sans Mono"};
    expectFamily(window->font(), proportional, "window");
    EXPECT_EQ(window->font().pixelSize(), 11);
    for (const char* name : {"line00", "line24", "Prog"}) {
        const QFont font = Find(QLatin1String(name))->font();
        expectFamily(font, fixed, name);
        EXPECT_EQ(font.pixelSize(), 13) << name;
    }
    expectFamily(Find("Memo1")->font(), fixed, "Memo1");
    EXPECT_EQ(Find("Memo1")->font().pixelSize(), 11);
}

TEST_F(MainWindow, MenuItemsNamesCaptionsAndShortcuts) {
    struct Item {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
    };
    const Item items[] = {
        {"Otw1", "Nowy", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"Otwrz1", "Otwórz", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"Zapisz1", "Zapisz", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"Zapiszjako1", "Zapisz jako...", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S)},
        {"Koniec1", "Koniec", QKeySequence(Qt::ALT | Qt::Key_F4)},
        {"Oprogramie1", "O programie", QKeySequence()},
    };
    for (const Item& item : items) {
        auto* action = window->findChild<QAction*>(QLatin1String(item.name));
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(item.caption));
        EXPECT_EQ(action->shortcut(), item.shortcut) << item.name;
    }
    auto* plik = window->findChild<QMenu*>("Plik1");
    auto* pomoc = window->findChild<QMenu*>("Pomoc1");
    ASSERT_NE(plik, nullptr);
    ASSERT_NE(pomoc, nullptr);
    EXPECT_EQ(plik->title(), "Plik");
    EXPECT_EQ(pomoc->title(), "Pomoc");
    QStringList order;
    for (QAction* action : plik->actions())
        order << action->objectName();
    EXPECT_EQ(order, QStringList({"Otw1", "Otwrz1", "N1", "Zapisz1", "Zapiszjako1", "N3",
                                  "KopiaSterownika1", "PrzywrocSterownik1", "N2", "Koniec1"}));
    for (const char* name : {"N1", "N2"}) {
        auto* separator = window->findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(separator, nullptr);
        EXPECT_TRUE(separator->isSeparator());
        // The minus key must reach the edit fields.
        EXPECT_TRUE(separator->shortcut().isEmpty());
    }
}

TEST_F(MainWindow, ToolBarButtonsShowOnlyAnImage) {
    for (const char* name : {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4"}) {
        auto* button = Find<QToolButton>(QLatin1String(name));
        EXPECT_TRUE(button->text().isEmpty()) << name;
        EXPECT_TRUE(button->toolTip().isEmpty()) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
        EXPECT_EQ(button->icon().availableSizes().value(0), QSize(16, 16)) << name;
    }
}

TEST_F(MainWindow, SizeLimitsKeepTheClientNearItsFormSize) {
    const int menu = window->MainMenu1->height();
    EXPECT_EQ(window->Client->size(), QSize(545, 665));
    EXPECT_EQ(window->minimumSize(), QSize(545, 665 + menu));
    EXPECT_EQ(window->maximumSize(), QSize(555, 675 + menu));
    window->resize(2000, 2000);
    EXPECT_EQ(window->size(), QSize(555, 675 + menu));
    QTRY_COMPARE(window->Client->size(), QSize(555, 675));
    // The status bar stays at the bottom, the tool bar spans the width.
    EXPECT_EQ(Find("StatusBar")->geometry(), QRect(0, 656, 555, 19));
    EXPECT_EQ(Find("ToolBar1")->width(), 555);
    window->resize(10, 10);
    EXPECT_EQ(window->size(), QSize(545, 665 + menu));
}

TEST_F(MainWindow, AboutBoxText) {
    window->findChild<QAction*>("Oprogramie1")->trigger();
    ASSERT_EQ(boxes.calls.size(), 1u);
    const auto& box = boxes.calls[0];
    EXPECT_EQ(box.icon, QMessageBox::Information);
    EXPECT_EQ(box.title, "O programie");
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    const QStringList lines = box.text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "Program do wspołpracy z urządzeniem KX-RD4");
    EXPECT_EQ(lines[1], ">>Generator trajektorii<<");
    EXPECT_EQ(lines[2], "");
    // The project's version, the one the package and --version show.
    EXPECT_EQ(lines[3], QStringLiteral("  wersja: ") + QLatin1String(KxVersion));
    EXPECT_TRUE(lines[4].startsWith("  www.")) << lines[4].toStdString();
}

TEST_F(MainWindow, ShowStatusReplacesPanelZeroOnly) {
    window->SetLinkState(QStringLiteral("Połączony"));
    window->ShowStatus(QStringLiteral("Program został skopiowany"));
    window->ShowStatus(QStringLiteral("Program został wczyszczony"));
    EXPECT_EQ(window->StatusPanel(0)->text(), "Program został wczyszczony");
    EXPECT_EQ(window->StatusPanel(1)->text(), "Połączony");
    EXPECT_EQ(window->StatusPanel(0)->toolTip(), "");
    // A text too long for the panel is whole in its tool tip, until a short one comes.
    const QString longText = QStringLiteral("Pomiar: cykl 2,101 s, przewidziany 2,100 s; ") +
                             QString(60, QLatin1Char('x'));
    window->ShowStatus(longText);
    EXPECT_EQ(window->StatusPanel(0)->toolTip(), longText);
    window->ShowStatus(QStringLiteral("Program został skopiowany"));
    EXPECT_EQ(window->StatusPanel(0)->toolTip(), "");
}

TEST_F(MainWindow, DiagnosticButtonsClearLogsAndExportListing) {
    window->Memo1->setPlainText("01 64");
    window->Memo2->setPlainText("d");
    window->Button3Click();
    EXPECT_TRUE(window->Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(window->Memo2->toPlainText().isEmpty());

    window->Memo3->setPlainText("old");
    window->Button2Click();
    const QStringList lines = window->Memo3->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 25);
    EXPECT_EQ(lines[0], "[00]  *****  ");
    EXPECT_EQ(lines[24], "[24]  *****  ");
}

TEST_F(MainWindow, TrafficLogsKeepTheirLastThousandLines) {
    for (int i = 0; i < 1005; ++i)
        window->Memo1->appendPlainText(QString::number(i));
    EXPECT_EQ(window->Memo1->blockCount(), 1000);
    EXPECT_TRUE(window->Memo1->toPlainText().startsWith("5\n"));
    EXPECT_EQ(window->Memo2->maximumBlockCount(), 1000);
}

TEST_F(MainWindow, Timer1TicksEvery25MillisecondsAndCallsItsHook) {
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_EQ(window->Timer1->interval(), 25);
    int ticks = 0;
    window->SetTimer1Hook([&ticks] { ++ticks; });
    QTRY_VERIFY(ticks >= 3);
}

TEST_F(MainWindow, KoniecClosesTheWindowLikeTheCloseBox) {
    window->findChild<QAction*>("Koniec1")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(MainWindow, CaptionKeepsBracketsAndOneModifiedMark) {
    window->SetCaptionText(QStringLiteral("KX-RD4 PC  -  [/tmp/a[*]b.kxp]"));
    // What the window system shows: "[*]" is not taken as Qt's placeholder.
    EXPECT_EQ(window->windowHandle()->title(), "KX-RD4 PC  -  [/tmp/a[*]b.kxp]");
    window->MarkModified();
    window->MarkModified();
    EXPECT_EQ(window->CaptionText(), "KX-RD4 PC  -  [/tmp/a[*]b.kxp]*");
    EXPECT_EQ(window->windowHandle()->title(), "KX-RD4 PC  -  [/tmp/a[*]b.kxp]*");
}

} // namespace
