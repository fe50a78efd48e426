// Where the returns are kept: the start-up rules for the working folder, and
// entering a folder that does not exist yet.
#include "app/workfolder.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

namespace
{

struct Case {
    const char *what;
    QStringList arguments;
    QString env;
    QString expected; // empty: an error is expected
};

TEST(WorkFolder, StartRules)
{
    const QString cwd = QStringLiteral("/srv/calisma");
    const QString home = QStringLiteral("/home/elif");
    const Case cases[] = {
        {"terminal start keeps the current folder", {}, {}, cwd},
        {"desktop start goes to the user's folder", {"--masaustu"}, {}, "/home/elif/Sarvek"},
        {"option wins over a desktop start", {"--masaustu", "--veri-klasoru", "/d/x"}, {}, "/d/x"},
        {"option written with =", {"--veri-klasoru=/d/y"}, {}, "/d/y"},
        {"relative option is taken from the current folder",
         {"--veri-klasoru", "veri/../v2"},
         {},
         "/srv/calisma/v2"},
        {"environment on a terminal start", {}, "/d/env", "/d/env"},
        {"environment wins over a desktop start", {"--masaustu"}, "/d/env", "/d/env"},
        {"option wins over the environment", {"--veri-klasoru", "/d/opt"}, "/d/env", "/d/opt"},
        {"the last option counts", {"--veri-klasoru", "/a", "--veri-klasoru", "/b"}, {}, "/b"},
        {"unknown arguments change nothing", {"-style", "fusion"}, {}, cwd},
        {"option without a folder", {"--veri-klasoru"}, {}, {}},
        {"option with an empty folder", {"--veri-klasoru", ""}, {}, {}},
        {"option followed by another option", {"--veri-klasoru", "--masaustu"}, {}, {}},
        {"option followed by an option of its own kind",
         {"--veri-klasoru", "--veri-klasoru=/d/z"},
         {},
         {}},
        {"option = with nothing", {"--veri-klasoru="}, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const workfolder::Choice choice = workfolder::choose(c.arguments, c.env, cwd, home);
        if (c.expected.isEmpty()) {
            EXPECT_TRUE(choice.folder.isEmpty());
            EXPECT_TRUE(choice.error.contains(QStringLiteral("--veri-klasoru")))
                << choice.error.toStdString();
        } else {
            EXPECT_EQ(choice.folder.toStdString(), c.expected.toStdString());
            EXPECT_TRUE(choice.error.isEmpty());
        }
    }
}

TEST(WorkFolder, EnterMakesTheFolderAndMovesThere)
{
    const QString before = QDir::currentPath();
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString folder = tmp.filePath(QStringLiteral("Sarvek"));
    EXPECT_EQ(workfolder::enter(folder), QString());
    EXPECT_EQ(QDir::currentPath(), QDir(folder).canonicalPath());

    // A plain file where the folder should be cannot be entered.
    QFile blocker(tmp.filePath(QStringLiteral("dosya")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_TRUE(
        workfolder::enter(blocker.fileName()).startsWith(QStringLiteral("Veri klasörü açılamadı")));
    QDir::setCurrent(before);
}

} // namespace
