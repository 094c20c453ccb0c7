// The manual: every command of the command table has its page in both
// languages, every page's links lead to pages or pictures that exist, the two
// languages have the same pages, and the window shows every picture a page
// has.

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "CommandCode.h"
#include "ManualView.h"
#include "MnemonicTable.h"
#include "UiLanguage.h"

namespace {

QString Read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QSet<QString> PagesOf(Language language) {
    const QString folder = ManualView::Folder(language);
    QSet<QString> pages;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        pages << it.next().mid(folder.size() + 1);
    return pages;
}

TEST(Manual, EveryCommandHasItsPageInBothLanguages) {
    for (const Language language : {Language::Polish, Language::English}) {
        const QString folder = ManualView::Folder(language);
        const QString table = Read(folder + QStringLiteral("/commands.md"));
        for (int code = 0; code < CommandCount; ++code) {
            const QString page = ManualView::CommandPage(code);
            const QString text = Read(folder + QLatin1Char('/') + page);
            const QString mnemonic = QString::fromLatin1(MnemonicTable::Mnemonic(code)).trimmed();
            ASSERT_FALSE(text.isEmpty()) << folder.toStdString() << "/" << page.toStdString();
            // Headed by its mnemonic, with its code, an example line of it,
            // and listed in the command table.
            EXPECT_TRUE(text.startsWith(QStringLiteral("# ") + mnemonic + QLatin1Char('\n')))
                << page.toStdString();
            EXPECT_TRUE(text.contains(QStringLiteral("| %1 |").arg(code))) << page.toStdString();
            EXPECT_TRUE(text.contains(QStringLiteral("]  ") + mnemonic)) << page.toStdString();
            EXPECT_TRUE(table.contains(QStringLiteral("](%1)").arg(page))) << page.toStdString();
        }
    }
}

TEST(Manual, BothLanguagesHaveTheSamePagesAndEveryLinkLeadsSomewhere) {
    const QSet<QString> polish = PagesOf(Language::Polish);
    EXPECT_EQ(polish, PagesOf(Language::English));
    EXPECT_TRUE(polish.contains(QStringLiteral("index.md")));
    static const QRegularExpression link(QStringLiteral(R"(\]\(([^)#:]+)\))"));
    for (const Language language : {Language::Polish, Language::English}) {
        const QString folder = ManualView::Folder(language);
        for (const QString& page : PagesOf(language)) {
            if (!page.endsWith(QLatin1String(".md")))
                continue;
            const QString base = QFileInfo(folder + QLatin1Char('/') + page).path();
            auto matches = link.globalMatch(Read(folder + QLatin1Char('/') + page));
            while (matches.hasNext()) {
                const QString target = matches.next().captured(1);
                EXPECT_TRUE(QFile::exists(QDir::cleanPath(base + QLatin1Char('/') + target)))
                    << folder.toStdString() << "/" << page.toStdString() << " links to "
                    << target.toStdString();
            }
        }
    }
}

TEST(Manual, TheWindowShowsEveryPictureOfEveryPage) {
    // Each picture of a page ("![…](pictures/….png)") becomes an image of the
    // page shown, loaded from the program's resources.
    static const QRegularExpression picture(QStringLiteral(R"(!\[[^\]]*\]\([^)]+\))"));
    const Language before = UiLanguage::Current();
    for (const Language language : {Language::Polish, Language::English}) {
        UiLanguage::SetCurrent(language);
        int shown = 0;
        for (const QString& page : PagesOf(language)) {
            if (!page.endsWith(QLatin1String(".md")))
                continue;
            const QString text = Read(ManualView::Folder(language) + QLatin1Char('/') + page);
            QTextDocument* document = ManualView::Show(page)->Browser()->document();
            int images = 0;
            for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
                for (auto it = block.begin(); !it.atEnd(); ++it) {
                    const QTextCharFormat format = it.fragment().charFormat();
                    if (!format.isImageFormat())
                        continue;
                    ++images;
                    const QString name = format.toImageFormat().name();
                    const QVariant data =
                        document->resource(QTextDocument::ImageResource, QUrl(name));
                    const QImage image = data.userType() == QMetaType::QByteArray
                                             ? QImage::fromData(data.toByteArray())
                                             : data.value<QImage>();
                    EXPECT_FALSE(image.isNull())
                        << page.toStdString() << ": " << name.toStdString();
                }
            }
            EXPECT_EQ(images, static_cast<int>(text.count(picture))) << page.toStdString();
            shown += images;
        }
        EXPECT_GE(shown, 5)
            << UiLanguage::Code(language).toStdString(); // the pages, the dialog, a question
    }
    if (ManualView* view = ManualView::Show())
        view->close();
    UiLanguage::SetCurrent(before);
}

} // namespace
