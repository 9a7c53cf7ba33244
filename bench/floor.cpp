// The floor of the start-up benchmark: the least a Qt 6 program with the main window's look does
// before it shows, a bare main window with the six Chinese menu titles and one line edit.
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    for (const char* title : {"指法练习[&F]", "字根速记[&Z]", "基础练习[&J]", "课程练习[&D]",
                              "自由练习[&E]", "学习帮助[&H]"})
        window.menuBar()->addMenu(QString::fromUtf8(title));
    window.setCentralWidget(new QLineEdit);
    window.resize(800, 575);
    window.show();
    return QApplication::exec();
}
