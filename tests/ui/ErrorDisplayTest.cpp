// The general error display: the point rule, errors escaping handlers,
// FormCreate, FormDestroy and the event dispatch, and the tool going on.

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <stdexcept>

#include "EditorPage.h"
#include "GeneralErrorDisplay.h"
#include "KxApplication.h"
#include "ShellFixture.h"

namespace {

TEST(ErrorText, PointFollowsCharactersThatSortAfterThePoint) {
    const std::pair<const char*, const char*> table[] = {
        {"Unable to write to /opt/kx/config.ini", "Unable to write to /opt/kx/config.ini."},
        {"Error 5", "Error 5."},
        {"Done.", "Done."},
        {"Stop!", "Stop!"},         // '!' sorts before '.'
        {"(see log)", "(see log)"}, // ')' sorts before '.'
        {"a/", "a/."},              // '/' sorts after '.'
        {"Błąd zapisu: ą", "Błąd zapisu: ą."},
        {"", ""},
    };
    for (const auto& [message, text] : table)
        EXPECT_EQ(GeneralErrorDisplay::Text(QString::fromUtf8(message)), QString::fromUtf8(text))
            << message;
}

using HandlerErrors = ShellFixture;

TEST_F(HandlerErrors, AnErrorInAHandlerIsShownAndTheToolGoesOn) {
    int ticks = 0;
    window->SetTimer1Hook([&ticks] {
        if (++ticks == 1)
            throw std::runtime_error("Nie można zapisać");
    });
    QTRY_VERIFY(ticks >= 3);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.calls[0].title, "KX-RD4 - PC");
    EXPECT_EQ(boxes.calls[0].text, "Nie można zapisać.");
    EXPECT_EQ(boxes.calls[0].buttons, QMessageBox::Ok);
    // Still usable: the program buttons redraw the listing.
    window->Programs().SetLine(6, 0, ProgramLine{1, 0, 0, 5, 0, 0, 0, 0});
    QTest::mouseClick(window->findChild<QRadioButton*>("p6"), Qt::LeftButton);
    EXPECT_EQ(window->findChild<QLabel*>("line00")->text(), "[00]  V_MAX  00500");
}

TEST_F(HandlerErrors, AnUnknownThrownValueShowsAnEmptyText) {
    bool thrown = false;
    window->SetTimer1Hook([&thrown] {
        if (!thrown) {
            thrown = true;
            throw 42;
        }
    });
    QTRY_VERIFY(thrown);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "");
    EXPECT_EQ(boxes.calls[0].title, "KX-RD4 - PC");
}

// Settings that cannot be written, at start-up and at shut-down.
class FailingSettingsWindow : public TFMain {
public:
    using TFMain::TFMain;
    int stores = 0;

protected:
    void LoadSettings() override {
        throw std::runtime_error("Unable to write to /opt/kx/config.ini");
    }
    void StoreSettings() override {
        ++stores;
        throw std::runtime_error("Unable to write to /opt/kx/config.ini");
    }
};

using StartUpErrors = ShellFixtureOf<FailingSettingsWindow>;

TEST_F(StartUpErrors, FormCreateEndsAtTheFailingStepAndTheWindowIsShown) {
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].title, "KX-RD4 - PC");
    EXPECT_EQ(boxes.calls[0].text, "Unable to write to /opt/kx/config.ini.");
    EXPECT_TRUE(window->isVisible());
    // The steps before the failing one have run.
    EXPECT_EQ(window->CaptionText(), "KX-RD4 PC  -  [Nowy]");
    EXPECT_EQ(window->findChild<QLabel*>("line00")->text(), "[00]  *****  ");
    EXPECT_EQ(window->PageControl1->currentWidget(), window->TabSheet1);
    // Those after it did not, yet no move is pending and the diagnostics stay
    // hidden: both hold from the window's creation on.
    EXPECT_EQ(window->Editor().Drag().Line(), NoIndex);
    window->PageControl1->setCurrentWidget(window->TabSheet2);
    EXPECT_FALSE(window->Memo1->isVisible());
    EXPECT_FALSE(window->Button2->isVisible());
}

TEST_F(StartUpErrors, FormDestroyErrorIsShownOnceAndShutDownGoesOn) {
    boxes.calls.clear();
    window->ShutDown();
    window->ShutDown();
    EXPECT_EQ(window->stores, 1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Unable to write to /opt/kx/config.ini.");
}

// An object whose event handling fails, for the application's safety net.
class FailingObject : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            throw std::logic_error("bad event");
        return QObject::event(event);
    }
};

TEST(ApplicationErrors, EventDispatchShowsEscapingErrors) {
    auto* app = qobject_cast<KxApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    ShellBoxes boxes;
    app->SetErrorBoxes(&boxes);
    FailingObject object;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&object, &event));
    app->SetErrorBoxes(nullptr);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.calls[0].title, "KX-RD4 - PC");
    EXPECT_EQ(boxes.calls[0].text, "bad event.");
}

TEST(ApplicationTexts, BoxButtonsArePolish) {
    auto* app = qobject_cast<KxApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    ASSERT_TRUE(app->LoadPolishTranslation());
    QMessageBox box(QMessageBox::Question, "t", "q",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove('&'), "Tak");
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove('&'), "Nie");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove('&'), "Anuluj");
}

} // namespace
