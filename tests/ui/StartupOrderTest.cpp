// What the start-up leaves for after the window's first frame is still there
// when it is needed: the line edit dialog, the pages not shown at first, and
// the style images of buttons on pages not yet shown.

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

#include "ControlPage.h"
#include "DeferredStyleIcon.h"
#include "ShellFakes.h"
#include "SimulatedHidBackend.h"
#include "TFMain.h"
#include "TFProg.h"
#include "WindowSettings.h"

namespace {

struct Window {
    ShellBoxes boxes;
    ShellDialogs dialogs;
    QTemporaryDir settingsDir;
    TFMain main;
    explicit Window(TFMain::PageBuild build = TFMain::PageBuild::AtOnce)
        : main(boxes, dialogs, std::make_shared<SimulatedHidBackend>(), nullptr, build) {
        main.Settings().SetSettingsPath(settingsDir.filePath(QStringLiteral("config.ini")));
    }
};

TEST(StartupOrder, LineEditorFollowsTheFirstFrameOrComesWhenNeeded) {
    {
        Window shown;
        EXPECT_EQ(shown.main.LineEditor(), nullptr) << "before StartUp";
        shown.main.StartUp();
        shown.main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown.main));
        // Made after the first frame without anybody asking for it.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return shown.main.findChild<TFProg*>(QStringLiteral("FProg")) != nullptr; }));
        TFProg* dialog = shown.main.LineEditor();
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->isVisible());
        shown.main.ShutDown();
        EXPECT_EQ(shown.main.LineEditor(), nullptr) << "after ShutDown";
    }
    {
        // Never shown: opening a line makes the dialog at once.
        Window hidden;
        hidden.main.StartUp();
        hidden.main.OpenLineEditor(3);
        TFProg* dialog = hidden.main.findChild<TFProg*>(QStringLiteral("FProg"));
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(hidden.main.LineEditor(), dialog);
    }
}

// The names of the widgets on "Sterowanie" and "Opcje" (Qt's own parts
// aside), sorted, in one text (so that a difference reads well).
std::string NamesIn(const QWidget& window) {
    QStringList names;
    for (const char* page : {"TabSheet2", "TabSheet3"}) {
        for (const QObject* child :
             window.findChild<QWidget*>(QLatin1String(page))->findChildren<QObject*>()) {
            if (!child->objectName().isEmpty() && !child->objectName().startsWith(u"qt_"))
                names << child->objectName();
        }
    }
    names.sort();
    return names.join(QLatin1Char(' ')).toStdString();
}

TEST(StartupOrder, PagesBuiltAfterTheFirstFrameMatchAWindowBuiltAtOnce) {
    Window complete;
    const std::string expected = NamesIn(complete.main);
    ASSERT_NE(expected.find(" VmaxLabel "), std::string::npos);
    {
        // The tool's own start: "Sterowanie" follows the first frame unasked,
        // and the window ends up as one built at once.
        Window started(TFMain::PageBuild::AfterFirstFrame);
        EXPECT_LT(NamesIn(started.main).size(), expected.size()) << "built before the first frame";
        started.main.StartUp();
        started.main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&started.main));
        EXPECT_TRUE(QTest::qWaitFor([&] { return NamesIn(started.main) == expected; }));
        EXPECT_EQ(NamesIn(started.main), expected);
    }
    {
        // Never shown: a reply for a field of "Sterowanie" builds it at once
        // and shows its value.
        Window asked(TFMain::PageBuild::AfterFirstFrame);
        asked.main.StartUp();
        asked.main.SetValueField("VmaxLabel", 1234);
        auto* field = asked.main.findChild<QLineEdit*>(QStringLiteral("VmaxLabel"));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text(), QStringLiteral("1234"));
        EXPECT_EQ(NamesIn(asked.main), expected);
        EXPECT_EQ(&asked.main.Control(), asked.main.findChild<ControlPage*>());
    }
    {
        // Built while its page is already on screen: its widgets show.
        Window onScreen(TFMain::PageBuild::AfterFirstFrame);
        onScreen.main.StartUp();
        onScreen.main.show();
        onScreen.main.PageControl1->setCurrentWidget(onScreen.main.TabSheet3);
        onScreen.main.Control();
        auto* field = onScreen.main.findChild<QLineEdit*>(QStringLiteral("VmaxLabel"));
        ASSERT_NE(field, nullptr);
        EXPECT_TRUE(field->isVisible());
    }
}

TEST(StartupOrder, DeferredStyleIconsShowTheStyleImages) {
    const QStyle::StandardPixmap images[] = {QStyle::SP_DialogSaveButton,
                                             QStyle::SP_DialogApplyButton, QStyle::SP_BrowserReload,
                                             QStyle::SP_ArrowLeft};
    QStyle* style = QApplication::style();
    for (QStyle::StandardPixmap image : images) {
        const QIcon deferred = DeferredStyleIcon::Make(image);
        EXPECT_FALSE(deferred.isNull()) << image;
        // Both read their pictures when first drawn (and then know their exact
        // sizes): compare them drawn.
        const QIcon direct = style->standardIcon(image);
        for (const QSize size : {QSize(16, 16), QSize(32, 32)}) {
            direct.pixmap(size);
            deferred.pixmap(size);
        }
        for (const QSize size : {QSize(16, 16), QSize(32, 32)}) {
            for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
                const QPixmap shown = deferred.pixmap(size, mode);
                EXPECT_FALSE(shown.isNull()) << image;
                EXPECT_EQ(shown.toImage(), direct.pixmap(size, mode).toImage())
                    << image << " " << size.width() << " mode " << mode;
            }
            EXPECT_EQ(deferred.actualSize(size), direct.actualSize(size)) << image;
        }
        // A copy (as a button keeps it) shows the same.
        QPushButton button;
        button.setIcon(deferred);
        EXPECT_EQ(button.icon().pixmap(QSize(16, 16)).toImage(),
                  deferred.pixmap(QSize(16, 16)).toImage())
            << image;
    }
}

} // namespace
