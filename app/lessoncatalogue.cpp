#include "app/lessoncatalogue.h"

namespace Catalogue {

namespace {

Entry cmd(const char* caption, const char* name, Kind kind, int first = 0, int second = 0,
          const char* shortcut = "") {
    return {false,
            {QString::fromUtf8(caption), QString::fromLatin1(name), kind, first, second,
             QString::fromLatin1(shortcut)}};
}

Entry separator() {
    return {true, {}};
}

QList<Menu> buildMenus() {
    using K = Kind;
    return {
        {QStringLiteral("指法练习[&F]"),
         "N26",
         {cmd("基准键[&A]", "N27", K::FingerLesson, 124),
          cmd("上排键[&B]", "B4", K::FingerLesson, 136),
          cmd("下排键[&C]", "C4", K::FingerLesson, 148), separator(),
          cmd("指法综合练习[&1]", "D1", K::FingerLesson, 160),
          cmd("指法综合练习[&2]", "N29", K::FingerLesson, 172),
          cmd("指法综合练习[&3]", "N34", K::FingerLesson, 184)}},
        {QStringLiteral("字根速记[&Z]"),
         "N14",
         {cmd("笔划规律[&P]", "N17", K::RootLesson, 31, 0),
          cmd("键名字根[&M]", "B1", K::RootLesson, 25, 31),
          cmd("第一课字根测试[&A]", "C1", K::RootLesson, 56, 0),
          cmd("第一课文字测试[&F]", "dd1", K::TextLesson, 197, 5), separator(),
          cmd("第一区字根[&O]", "A1", K::RootLesson, 37, 56),
          cmd("第二区字根[&T]", "B2", K::RootLesson, 37, 93),
          cmd("第二课字根测试[&B]", "C2", K::RootLesson, 74, 56),
          cmd("第二课文字测试[&J]", "J1", K::TextLesson, 202, 5), separator(),
          cmd("第三区字根[&R]", "A2", K::RootLesson, 46, 130),
          cmd("第四区字根[&F]", "B3", K::RootLesson, 40, 176),
          cmd("第五区字根[&E]", "C3", K::RootLesson, 40, 216),
          cmd("第三课字根测试[&C]", "N25", K::RootLesson, 126, 130),
          cmd("第三课文字测试[&Y]", "Y1", K::TextLesson, 207, 6), separator(),
          cmd("五笔字根总测试[&D]", "N43", K::RootLesson, 256, 0),
          cmd("文字练习[&1]", "O1", K::TextLesson, 234, 8),
          cmd("文字练习[&2]", "N210", K::TextLesson, 242, 7)}},
        {QStringLiteral("基础练习[&J]"),
         "N7",
         {cmd("键名及成字[&A]", "N8", K::TextLesson, 88, 5),
          cmd("键名成字练习[&P]", "N36", K::TextLesson, 213, 7),
          cmd("识别码练习[&T]", "T2", K::TextLesson, 220, 6), separator(),
          cmd("高频字[&B]", "N9", K::TextLesson, 93, 8),
          cmd("二级简码[&1]", "N13", K::TextLesson, 101, 8),
          cmd("二级简码[&2]", "N22", K::TextLesson, 109, 8),
          cmd("二级简码[&3]", "N33", K::TextLesson, 117, 8), separator(),
          cmd("难字拆分练习[&N]", "N38", K::TextLesson, 226, 8)}},
        {QStringLiteral("课程练习[&D]"),
         "N1",
         {cmd("课程练习[&1]", "N11", K::TextLesson, 1, 8),
          cmd("课程练习[&2]", "N21", K::TextLesson, 9, 7),
          cmd("课程练习[&3]", "N31", K::TextLesson, 16, 6),
          cmd("课程练习[&4]", "N41", K::TextLesson, 22, 7),
          cmd("课程练习[&5]", "N51", K::TextLesson, 29, 5),
          cmd("课程练习[&6]", "N61", K::TextLesson, 34, 6),
          cmd("课程练习[&7]", "N71", K::TextLesson, 40, 5)}},
        {QStringLiteral("自由练习[&E]"),
         "N3",
         {cmd("文章练习[&1]", "N12", K::TextLesson, 45, 8),
          cmd("文章练习[&2]", "N4", K::TextLesson, 53, 8),
          cmd("文章练习[&3]", "N32", K::TextLesson, 61, 8),
          cmd("文章练习[&4]", "N42", K::TextLesson, 69, 8), separator(),
          cmd("自由练习[&R]", "N24", K::FreeTyping, 0, 0, "F5"),
          cmd("跟打练习[&G]", "G1", K::TypeAlong), cmd("词组练习[&W]", "W1", K::PhrasePractice)}},
        {QStringLiteral("学习帮助[&H]"),
         "X1",
         {cmd("背景音乐[&S]", "S1", K::Music), cmd("编码查找[&F]", "F1", K::CodeLookup, 0, 0, "F8"),
          separator(), cmd("学习帮助[&A]", "A3", K::LessonPages), separator(),
          cmd("学习记录[&R]", "N44", K::Records), cmd("智能练习[&I]", "I1", K::AdaptivePractice),
          cmd("输入法设置[&M]", "N45", K::InputMethodSetup)}},
    };
}

}  // namespace

const QList<Menu>& menus() {
    static const QList<Menu> all = buildMenus();
    return all;
}

const Command* find(const QString& name, int* menuIndex, int* commandIndex) {
    for (int m = 0; m < menus().size(); ++m) {
        int i = 0;
        for (const Entry& entry : menus()[m].entries) {
            if (entry.separator)
                continue;
            if (entry.command.name == name) {
                if (menuIndex)
                    *menuIndex = m;
                if (commandIndex)
                    *commandIndex = i;
                return &entry.command;
            }
            ++i;
        }
    }
    return nullptr;
}

bool sendsReturnKeys(Kind kind) {
    return kind == Kind::TextLesson || kind == Kind::RootLesson || kind == Kind::FingerLesson;
}

}  // namespace Catalogue
