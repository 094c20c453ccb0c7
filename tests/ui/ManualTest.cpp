// The manual: every command of the command table has its page in both
// languages, every page's links lead to pages or pictures that exist, and the
// two languages have the same pages.

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include "CommandCode.h"
#include "ManualView.h"
#include "MnemonicTable.h"

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

} // namespace
