#include "ManualView.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "CommandCode.h"
#include "KxApplication.h"
#include "MnemonicTable.h"
#include "UiLanguage.h"

namespace {
QPointer<ManualView> shown;
} // namespace

ManualView::ManualView(QWidget* owner)
    : QWidget(owner != nullptr ? owner->window() : nullptr, Qt::Window) {
    setObjectName(QStringLiteral("ManualView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("KX-RD4 PC – instrukcja obsługi"));
    setWindowIcon(KxApplication::ApplicationIcon());
    resize(760, 680);

    auto* contents = new QPushButton(tr("Spis treści"), this);
    contents->setObjectName(QStringLiteral("ManualContents"));
    auto* back = new QPushButton(tr("Wstecz"), this);
    back->setObjectName(QStringLiteral("ManualBack"));
    back->setEnabled(false);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("ManualBrowser"));
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({Folder(UiLanguage::Current())});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);

    connect(contents, &QPushButton::clicked, this, [this] { Open(QStringLiteral("index.md")); });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
}

ManualView* ManualView::Show(const QString& page, QWidget* owner) {
    if (shown.isNull())
        shown = new ManualView(owner);
    shown->Open(page);
    shown->show();
    shown->raise();
    shown->activateWindow();
    return shown.data();
}

QAction* ManualView::AddTo(QMenu* menu) {
    QAction* action = menu->addAction(tr("Instrukcja obsługi"), [menu] {
        // The menu is a window of its own: the manual belongs to the menu's owner.
        Show(QStringLiteral("index.md"), menu->parentWidget());
    });
    action->setObjectName(QStringLiteral("Instrukcja1"));
    action->setShortcut(QKeySequence(Qt::Key_F1));
    return action;
}

QString ManualView::CommandPage(int code) {
    if (code <= 0 || code >= CommandCount)
        return QStringLiteral("commands/empty.md");
    return QStringLiteral("commands/%1.md")
        .arg(QString::fromLatin1(MnemonicTable::Mnemonic(code)).trimmed());
}

QString ManualView::Folder(Language language) {
    return QStringLiteral(":/manual/") + UiLanguage::Code(language);
}

QString ManualView::CurrentPage() const {
    const QString prefix = Folder(UiLanguage::Current()) + QLatin1Char('/');
    QString path = browser_->source().path();
    if (browser_->source().scheme() == QLatin1String("qrc"))
        path.prepend(QLatin1Char(':'));
    return path.startsWith(prefix) ? path.mid(prefix.size()) : path;
}

void ManualView::Open(const QString& page) {
    browser_->setSource(
        QUrl(QStringLiteral("qrc") + Folder(UiLanguage::Current()) + QLatin1Char('/') + page),
        QTextDocument::MarkdownResource);
}
