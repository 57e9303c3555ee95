// SPDX-License-Identifier: GPL-3.0-or-later
// The notes written out as Markdown and CSV and read back: every character of odd texts survives.

#include "db/Database.h"
#include "db/Schema.h"
#include "ExportReader.h"
#include "db/CsvText.h"
#include "notebook/NotebookSections.h"
#include "notebook/NoteExport.h"
#include "support/TempDatabase.h"

#include <QtTest>

class TestNoteExport : public QObject
{
    Q_OBJECT

private slots:
    void sectionsAreTheSchemasNotebookTables();
    void oddTextsReadBackExactly_data();
    void oddTextsReadBackExactly();
    void oneSectionAndEmptySections();
    void csvLayout();
    void markdownEscapesOnlyMarkup_data();
    void markdownEscapesOnlyMarkup();
};

namespace {

struct Row
{
    QString time;
    QString title;
    QString body;
};

QList<Row> oddRows()
{
    const QString emoji = QStringLiteral("减脂成功🎉💪🏻");
    return {
        {QStringLiteral("2026-01-02 07:30"), QStringLiteral("早餐"), QStringLiteral("燕麦加牛奶")},
        {QStringLiteral("2026-01-03 07:30"), QStringLiteral("多行\n标题"),
         QStringLiteral("第一行\n第二行\r\n第三行\n\n\n空了两行\n")},
        {QString(), QStringLiteral("| 表格 | 竖线 |"), QStringLiteral("| a | b |\n|---|---|\n| 1 | 2 |")},
        {QStringLiteral("午后"), QStringLiteral("逗号,和\"引号\"，'单引号'"),
         QStringLiteral("a,b,\"c\"\n\"\"\n,")},
        {QStringLiteral("2026-02-01"), emoji, emoji + QStringLiteral("\n") + emoji},
        {QString(), QStringLiteral("  前后有空格\t "), QStringLiteral("  缩进的正文\n\t制表符  ")},
        {QString(), QStringLiteral("# 不是标题 ## *强调* _下划线_ \\反斜杠\\ &amp; <b>粗</b> 1. 列表"),
         QStringLiteral("```\n代码块\n```\n````更长````\n~~~\n# 正文里的井号\n## 时间：伪造")},
        {QString(), QString(), QString()},
        {QStringLiteral("&#10;"), QStringLiteral("&#10; 原样的实体"), QStringLiteral("text")},
        // What a spreadsheet would run as a formula, and texts that already begin with the guard.
        {QString(), QStringLiteral("=HYPERLINK(\"http://example.invalid\",\"点我\")"), QStringLiteral("+1+1")},
        {QString(), QStringLiteral("-5 公斤"), QStringLiteral("@SUM(A1:A2)")},
        {QString(), QStringLiteral("'=引号开头"), QStringLiteral("'")},
        {QString(), QStringLiteral("\t制表符开头"), QStringLiteral("'普通的单引号")},
        // Headings that end in a run of #, and markup that is only markup in some places.
        {QStringLiteral("2026-12-10 18:24 #"), QStringLiteral("结尾的井号 #"), QStringLiteral("#")},
        {QStringLiteral("###"), QStringLiteral("##"), QStringLiteral("C#")},
        {QStringLiteral("5~6点 a_b _c_"), QStringLiteral("下_划_线 _强调_ a<b <i>斜</i> a & b &amp; 末尾反斜杠\\"),
         QStringLiteral("\\")},
        {QString(), QStringLiteral("1. 列表 > 引用 - 项 + 项 * 项"), QString()},
        {QString(), QStringLiteral("一兆字节"),
         QStringLiteral("瘦身日记，每天一点进步。\n").repeated(1024 * 1024 / 36) + QStringLiteral("`").repeated(7)},
    };
}

} // namespace

void TestNoteExport::oddTextsReadBackExactly_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("format");
    for (const char *table : {"sp", "yd", "xd", "rj"})
        for (const char *format : {"md", "csv"})
            QTest::addRow("%s %s", table, format) << QString::fromLatin1(table) << QString::fromLatin1(format);
}

void TestNoteExport::oddTextsReadBackExactly()
{
    QFETCH(QString, table);
    QFETCH(QString, format);
    TempDatabase file;
    const bool diary = table == QLatin1String("rj");
    for (const Row &row : oddRows()) {
        TempDatabase::Values values = {{"Name", row.title}, {"demo", row.body}};
        if (diary)
            values << qMakePair(QStringLiteral("time"), QVariant(row.time));
        file.insert(table, values);
    }
    auto db = openDatabase(file.path());
    const QList<ExportedSection> written = NoteExport::read(*db, {table});
    QCOMPARE(written.size(), 1);
    QCOMPARE(written.first().notes.size(), oddRows().size());

    QList<ExportedNote> readBack;
    QString sectionName;
    if (format == QLatin1String("md")) {
        const QList<ExportedSection> sections = ExportReader::readMarkdown(NoteExport::toMarkdown(written));
        QCOMPARE(sections.size(), 1);
        sectionName = sections.first().name;
        readBack = sections.first().notes;
    } else {
        const QList<QStringList> records = CsvText::records(NoteExport::toCsv(written));
        QCOMPARE(records.first(), (QStringList{"栏目", "时间", "标题", "内容"}));
        for (const QStringList &record : records.mid(1)) {
            QCOMPARE(record.size(), 4);
            sectionName = record[0];
            readBack << ExportedNote{record[1], record[2], record[3]};
        }
    }
    QCOMPARE(sectionName, NoteExport::sectionName(table));
    QCOMPARE(readBack.size(), oddRows().size());
    const QList<Row> rows = oddRows();
    for (int i = 0; i < readBack.size(); ++i) {
        const Row &row = rows.at(i);
        QCOMPARE(readBack[i].title, row.title);
        QCOMPARE(readBack[i].body, row.body);
        QCOMPARE(readBack[i].time, diary ? row.time : QString());
    }
}

void TestNoteExport::oneSectionAndEmptySections()
{
    TempDatabase file;
    file.insert(QStringLiteral("xd"), {{"Name", QStringLiteral("心得")}, {"demo", QStringLiteral("坚持")}});
    file.insert(QStringLiteral("rj"), {{"Name", QStringLiteral("日记")}, {"demo", QStringLiteral("今天")}});
    auto db = openDatabase(file.path());

    const QList<ExportedSection> all = NoteExport::read(*db, NoteExport::tables());
    QStringList names;
    for (const ExportedSection &section : all)
        names << section.name;
    QCOMPARE(names, (QStringList{"瘦身食谱", "有氧运动", "瘦身心得", "瘦身日记"}));
    QCOMPARE(NoteExport::noteCount(all), 2);
    // A diary record written without a time gets the time of its writing.
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}$"))
                .match(all.last().notes.first().time).hasMatch());

    const QList<ExportedSection> markdown = ExportReader::readMarkdown(NoteExport::toMarkdown(all));
    QCOMPARE(markdown.size(), 4);
    QVERIFY(markdown[0].notes.isEmpty());
    QCOMPARE(markdown[2].notes.first().body, QStringLiteral("坚持"));
    QVERIFY(NoteExport::toMarkdown(all).contains("（没有记录）"));

    const QList<ExportedSection> one = NoteExport::read(*db, {QStringLiteral("xd")});
    QCOMPARE(one.size(), 1);
    QCOMPARE(CsvText::records(NoteExport::toCsv(one)).size(), 2);
}

void TestNoteExport::csvLayout()
{
    ExportedSection section;
    section.name = QStringLiteral("瘦身日记");
    section.hasTime = true;
    section.notes << ExportedNote{QStringLiteral("2026-01-02 07:30"), QStringLiteral("a\"b"), QStringLiteral("x\ny")};
    const QByteArray csv = NoteExport::toCsv({section});
    // A byte-order mark, then CRLF records with every field quoted.
    QCOMPARE(csv, QByteArray("\xEF\xBB\xBF") + QStringLiteral("栏目,时间,标题,内容\r\n"
                                                              "\"瘦身日记\",\"2026-01-02 07:30\",\"a\"\"b\",\"x\ny\"\r\n")
                                                   .toUtf8());
    // A cell a spreadsheet would run gets an apostrophe before it; so does one that has one.
    ExportedSection formulas;
    formulas.name = QStringLiteral("瘦身心得");
    formulas.notes << ExportedNote{QString(), QStringLiteral("=1+1"), QStringLiteral("'x")}
                   << ExportedNote{QString(), QStringLiteral("a=b"), QStringLiteral("-")};
    QCOMPARE(NoteExport::toCsv({formulas}).mid(3), QStringLiteral("栏目,时间,标题,内容\r\n"
                                                                  "\"瘦身心得\",\"\",\"'=1+1\",\"''x\"\r\n"
                                                                  "\"瘦身心得\",\"\",\"a=b\",\"'-\"\r\n")
                                                       .toUtf8());
    QCOMPARE(NoteExport::markdownFence(QStringLiteral("a ``` b ````` c")), QStringLiteral("``````"));
    QCOMPARE(NoteExport::markdownInline(QStringLiteral(" a|b\n")), QStringLiteral("&#32;a\\|b&#10;"));
}

void TestNoteExport::markdownEscapesOnlyMarkup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");
    const auto row = [](const char *name, const char *text, const char *written) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(written);
    };
    // As typed: what no Markdown reader takes for markup where it stands.
    row("date and time", "2026-12-10 18:24", "2026-12-10 18:24");
    row("sums and brackets", "5-6点 (约1.5小时): 快走+慢跑! 100% = 1/1", "5-6点 (约1.5小时): 快走+慢跑! 100% = 1/1");
    row("block markers inside a line", "# 不是标题 1. 列表 > 引用 - 项", "# 不是标题 1. 列表 > 引用 - 项");
    row("# inside a word", "C# 与 C++", "C# 与 C++");
    row("_ between letters", "snake_case 下_划_线", "snake_case 下_划_线");
    row("< and & before a space", "a < b & c", "a < b & c");
    row("< before a Chinese word", "<粗>", "<粗>");
    // Escaped: what would turn into markup.
    row("emphasis", "*强调* _强调_", "\\*强调\\* \\_强调\\_");
    row("html", "<b>粗</b> <!-- x -->", "\\<b>粗\\</b> \\<!-- x -->");
    row("entities", "&amp; &#10;", "\\&amp; \\&#10;");
    row("links and code", "[链接](x) `代码`", "\\[链接\\](x) \\`代码\\`");
    row("backslash", "C:\\x", "C:\\\\x");
    row("table and strikethrough", "| a | ~~b~~", "\\| a \\| \\~\\~b\\~\\~");
    row("closing #", "结尾 ##", "结尾 \\##");
    row("only #", "###", "\\###");
}

// A heading or the time as a plain text editor shows it: markup escaped, nothing else.
void TestNoteExport::markdownEscapesOnlyMarkup()
{
    QFETCH(QString, text);
    QFETCH(QString, written);
    QCOMPARE(NoteExport::markdownInline(text), written);
    QCOMPARE(ExportReader::unescapeInline(written, true), text);
}

QTEST_GUILESS_MAIN(TestNoteExport)
// The one table of sections names exactly the tables the schema keeps for the notebook, each
// found again by its table and its skin button.
void TestNoteExport::sectionsAreTheSchemasNotebookTables()
{
    QCOMPARE(NoteExport::tables(), Schema::notebookTables());
    QStringList objects;
    for (const NotebookSection &section : NotebookSections::all()) {
        QCOMPARE(NotebookSections::forTable(section.table), &section);
        QCOMPARE(NotebookSections::forSkinObject(section.skinObject), &section);
        objects << section.skinObject;
    }
    QCOMPARE(objects, QStringList({"a", "b", "d", "e"}));
    QCOMPARE(NotebookSections::forTable(QStringLiteral("01")), nullptr);
    QCOMPARE(NotebookSections::forSkinObject(QStringLiteral("c")), nullptr);
}

#include "test_note_export.moc"
