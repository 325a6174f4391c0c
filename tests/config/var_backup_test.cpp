// The variable backup file: exact export, round trip, the refusals of a damaged file (with
// the table untouched) and the import into an open project.
#include "model/app/header_writers.h"
#include "tests/fixtures/sparse_file.h"
#include "tests/model/project_fixture.h"
#include "tests/config/var_table_fixture.h"
#include "config/backup/var_backup.h"

namespace qv::test {
namespace {

HmiVarTable withUserRows()
{
    HmiVarTable t = systemRowsTable();
    t.AppendRow("28", "signed short", "温度", "-5", "");
    t.AppendRow("30", "unsigned char", "淺", "0", "说明 with \\ and {}");
    return t;
}

std::string backupOf(const HmiVarTable& t)
{
    std::string bytes;
    std::string error;
    EXPECT_TRUE(FormatHmiVarBackup(t, bytes, error)) << error;
    return bytes;
}

TEST(VarBackup, SystemRowsExportAsEightyTwoLines)
{
    const std::string bytes = backupOf(systemRowsTable());
    EXPECT_TRUE(bytes.starts_with("HmivarFile\r\n16\r\n0\r\nunsigned char\r\nm_HuaMian\r\n0\r\n活动画面编号\r\n"));
    EXPECT_TRUE(bytes.ends_with("\r\n24\r\nunsigned int\r\nm_SuperUser\r\n96103725\r\n超级用户口令\r\n"));
    std::size_t lineEnds = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
        ++lineEnds;
    EXPECT_EQ(lineEnds, 2u + 80u);
}

TEST(VarBackup, RoundTripKeepsEveryValue)
{
    const HmiVarTable original = withUserRows();
    const std::string crlf = backupOf(original);
    std::string lfOnly;
    for (std::size_t i = 0; i < crlf.size(); ++i)
        if (!(crlf[i] == '\r' && i + 1 < crlf.size() && crlf[i + 1] == '\n'))
            lfOnly += crlf[i];
    // Written with CR LF, edited to LF, or cut after its last value: all read back whole.
    for (const std::string& bytes : {crlf, lfOnly, crlf.substr(0, crlf.size() - 2)}) {
        HmiVarTable back;
        std::string error;
        ASSERT_TRUE(ParseHmiVarBackup(bytes, back, error)) << error;
        EXPECT_TRUE(sameTable(back, original));
    }
}

// `lines` joined with CR LF.
std::string lines(std::initializer_list<std::string> ls)
{
    std::string out;
    for (const std::string& l : ls)
        out += l + "\r\n";
    return out;
}

TEST(VarBackup, DamagedFilesAreRefusedWithTheTableUntouched)
{
    const std::string good = backupOf(withUserRows());
    const std::string body = good.substr(good.find("\r\n", 12) + 2); // after the count line
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = good;
        return s.replace(s.find(from), from.size(), to);
    };
    struct Case {
        const char* what;
        std::string bytes;
        std::string errorStart;
    };
    const Case cases[] = {
        {"magic in other case", "hmivarFile\r\n" + good.substr(12), "文件格式不对"},
        {"empty file", "", "文件格式不对"},
        {"count no number", "HmivarFile\r\nmany\r\n" + body, "备份文件的变量个数无效：many"},
        {"count below the system rows", "HmivarFile\r\n2\r\n" + body, "备份文件的变量个数无效：2"},
        {"count beyond the lines", "HmivarFile\r\n19\r\n" + body, "备份文件不完整：应有19个变量，文件中只有18个"},
        {"huge count", "HmivarFile\r\n4000000000\r\n" + body, "备份文件的变量个数无效"},
        {"lines beyond the count", "HmivarFile\r\n17\r\n" + body, "备份文件在17个变量之后还有多余的内容"},
        {"unknown type", replaced("\r\nsigned short\r\n", "\r\nshort\r\n"), "第17个变量的类型无效：short"},
        {"address past the memory", replaced("\r\n28\r\n", "\r\n65535\r\n"), "第17个变量的地址无效：65535"},
        {"address no number", replaced("\r\n28\r\n", "\r\n0x1C\r\n"), "第17个变量的地址无效：0x1C"},
        {"system row renamed", replaced("m_KeySound", "m_Beep"), "第12个变量应为系统变量m_KeySound"},
        {"not GBK", replaced("温度", "\xFF\xFF"), "第17个变量含有无效的文字"},
        {"a carriage return inside a value", replaced("温度", "a\rb"), "备份文件第85行（第17个变量）含有回车符，无法导入"},
        {"a carriage return ending a value", replaced("温度\r\n", "温度\r\r\n"), "备份文件第85行（第17个变量）含有回车符"},
        {"a carriage return in a description", replaced("说明", "说\r明"), "备份文件第92行（第18个变量）含有回车符"},
        // What the manager's own add and modify refuse, naming the line.
        {"two rows of one name", replaced("\r\n淺\r\n", "\r\n温度\r\n"),
         "备份文件第90行（第18个变量）：存在相同的变量名字：温度"},
        {"a system row's name twice", replaced("\r\n淺\r\n", "\r\nm_KeySound\r\n"),
         "备份文件第90行（第18个变量）：存在相同的变量名字：m_KeySound"},
        {"a name with a blank", replaced("\r\n淺\r\n", "\r\na b\r\n"), "备份文件第90行（第18个变量）：变量名字不能含有空格"},
        {"initial value past unsigned char", replaced("\r\n淺\r\n0\r\n", "\r\n淺\r\n99999\r\n"),
         "备份文件第91行（第18个变量）：初始值超出变量类型的范围：99999"},
        {"initial value 256 for unsigned char", replaced("\r\n淺\r\n0\r\n", "\r\n淺\r\n256\r\n"),
         "备份文件第91行（第18个变量）：初始值超出变量类型的范围：256"},
        {"initial value no number", replaced("\r\n淺\r\n0\r\n", "\r\n淺\r\nx\r\n"),
         "备份文件第91行（第18个变量）：初始值必须是十进制整数：x"},
        {"a 4-byte variable at address 3", replaced("\r\n30\r\nunsigned char\r\n", "\r\n3\r\nunsigned int\r\n"),
         "备份文件第88行（第18个变量）：int类型的变量的地址必须是4的倍数"},
        {"overlapping a system row", replaced("\r\n30\r\nunsigned char\r\n", "\r\n12\r\nunsigned int\r\n"),
         "备份文件第88行（第18个变量）：变量的地址与已有的变量重叠：第12个变量（m_KeySound）"},
        {"overlapping the row before", replaced("\r\n30\r\n", "\r\n29\r\n"),
         "备份文件第88行（第18个变量）：变量的地址与已有的变量重叠：第17个变量（温度）"},
        {"system rows missing", lines({"HmivarFile", "17"}) + body.substr(body.find("m_ChildWindow") - 18),
         "第1个变量应为系统变量m_HuaMian"},
    };
    for (const Case& c : cases) {
        HmiVarTable table = systemRowsTable();
        std::string error;
        EXPECT_FALSE(ParseHmiVarBackup(c.bytes, table, error)) << c.what;
        EXPECT_TRUE(error.starts_with(c.errorStart)) << c.what << ": " << gbkToUtf8Lossy(error);
        EXPECT_TRUE(sameTable(table, systemRowsTable())) << c.what;
    }
}

TEST(VarBackup, ExportRefusesALineBreakAndKeepsTheOldFile)
{
    TempDir dir;
    const fs::path file = dir / "vars.bak";
    writeText(file, "old backup");
    HmiVarTable table = withUserRows();
    table.description.back() = "two\nlines";
    std::string error;
    EXPECT_FALSE(ExportHmiVarBackup(table, file, error));
    EXPECT_TRUE(error.starts_with("第18个变量（淺）含有换行符")) << gbkToUtf8Lossy(error);
    EXPECT_EQ(readText(file), "old backup");

    table.description.back() = "one line";
    ASSERT_TRUE(ExportHmiVarBackup(table, file, error)) << error;
    EXPECT_EQ(readText(file), backupOf(table));
    EXPECT_FALSE(ExportHmiVarBackup(table, dir / "missing" / "vars.bak", error));
    EXPECT_TRUE(error.starts_with("无法写入HMI变量备份文件：")) << gbkToUtf8Lossy(error);
}

int g_headerWrites = 0;

class ImportIntoProject : public ProjectTest {
protected:
    ImportIntoProject()
    {
        SetHeaderWriters({nullptr, [](const fs::path&, const HmiVarTable&, std::string*) {
                              ++g_headerWrites;
                              return true;
                          }});
        folder = newProject("imports");
        g_headerWrites = 0;
    }
    ~ImportIntoProject() override { SetHeaderWriters({}); }
    fs::path hmi() const { return folder / "imports.hmi"; }
    fs::path folder;
};

TEST_F(ImportIntoProject, ReplacesTheTableSavesItAndRewritesTheHeaders)
{
    writeText(folder / "MC8051" / "MC8051.HEX", ":00000001FF\r\n");
    const fs::path file = base() / "in.bak";
    writeText(file, backupOf(withUserRows()));
    std::string error;
    ASSERT_TRUE(ImportHmiVarBackup(*app, file, error)) << gbkToUtf8Lossy(error);
    EXPECT_TRUE(sameTable(app->ProjectDoc()->m_varTable, withUserRows()));
    EXPECT_TRUE(sameTable(load(hmi())->m_varTable, withUserRows()));
    EXPECT_EQ(g_headerWrites, 1);
    EXPECT_FALSE(fs::exists(folder / "MC8051" / "MC8051.HEX"));
}

TEST_F(ImportIntoProject, ARefusedOrMissingFileChangesNothing)
{
    const std::string savedProject = readText(hmi());
    const fs::path file = base() / "bad.bak";
    writeText(file, lines({"HmivarFile", "17"}));
    makeSparseFile(base() / "huge.bak");
    for (const fs::path& f : {file, base() / "none.bak", base() / "huge.bak"}) {
        std::string error;
        EXPECT_FALSE(ImportHmiVarBackup(*app, f, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(sameTable(app->ProjectDoc()->m_varTable, systemRowsTable()));
        EXPECT_EQ(readText(hmi()), savedProject);
        EXPECT_EQ(g_headerWrites, 0);
    }
}

} // namespace
} // namespace qv::test
