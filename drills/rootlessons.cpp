#include "drills/rootlessons.h"

namespace RootLessons {

namespace {
struct Lesson {
    int size;
    int start;  // -1: any start
    const char* shown;
    const char* afterPage;
};

// Ranges are told apart by their size, and the two sizes two lessons share by their start.
constexpr Lesson kLessons[] = {
    {31, -1, "Tarvelle---->笔划规律测试", "笔划规律测试"},
    {25, -1, "Tarvelle---->键名字根测试", "键名字根测试"},
    {56, -1, "Tarvelle---->一级字根测试", "第一课测试"},
    {37, 56, "Tarvelle---->第一区字根测试", "第一区字根测试"},
    {37, 93, "Tarvelle---->第二区字根测试", "第二区字根测试"},
    {74, -1, "Tarvelle---->二级字根测试", "第二课测试"},
    {46, -1, "Tarvelle---->第三区字根测试", "第三区字根测试"},
    {40, 176, "Tarvelle---->第四区字根测试", "第四区字根测试"},
    {40, 216, "Tarvelle---->第五区字根测试", "第五区字根测试"},
    {126, -1, "Tarvelle---->三级字根测试", "第三课测试"},
    {256, -1, "Tarvelle---->五笔字根总测试", "五笔字根总测试"},
};

const Lesson* find(int size, int start) {
    for (const Lesson& lesson : kLessons)
        if (lesson.size == size && (lesson.start < 0 || lesson.start == start))
            return &lesson;
    return nullptr;
}
}  // namespace

QString shownCaption(int size, int start) {
    const Lesson* lesson = find(size, start);
    return lesson ? QString::fromUtf8(lesson->shown) : QString();
}

QString pageCaption(int size, int start) {
    const Lesson* lesson = find(size, start);
    return lesson ? QString::fromUtf8(lesson->afterPage) : QString();
}

bool isStrokeLesson(int size, int start) {
    return size == 31 && start == 0;
}

int nextStrokeStart(bool& alternate) {
    alternate = !alternate;
    return alternate ? 3 : 0;
}

QList<int> pagePositions(int size, int start, int strokeStart,
                         const std::function<int(int)>& draw) {
    QList<int> positions;
    for (int item = 0; item < kItems; ++item) {
        if (isStrokeLesson(size, start))
            positions << strokeStart + item;
        else
            positions << start + (size > 0 ? draw(size) : 0);
    }
    return positions;
}

}  // namespace RootLessons
