// Every caption a pupil reads is whole: the ink of the text of each visible label and button,
// descenders included, lies inside the widget and inside every widget around it. Each window is
// shown as the pupil meets it, with its typical content; the same program runs at scale 2. And
// captions drawn in a colour show in it, whatever background their window has.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGlyphRun>
#include <QLabel>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolButton>
#include <QtTest>

#include "app/cmavro.h"
#include "data/history.h"
#include "drills/CTT.h"
#include "drills/Ctime.h"
#include "drills/CwbTest1.h"
#include "drills/ctest.h"
#include "media/CSound.h"
#include "media/CWeb.h"
#include "progress/CRecord.h"
#include "progress/dailygoal.h"
#include "support/courseprogram.h"
#include "support/modalrun.h"
#include "tools/CWBFind.h"
#include "tools/Cfree.h"

namespace {

// The ink of text laid out as QPainter::drawText(box, flags, text) lays it out: lines stacked
// from the top, the block and each line placed by the alignment.
QRectF inkOf(QString text, const QFont& font, const QRectF& box, int flags) {
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(flags & Qt::TextWordWrap ? QTextOption::WordWrap : QTextOption::ManualWrap);
    layout.setTextOption(option);
    const qreal leading = QFontMetricsF(font).leading();
    qreal height = -leading;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(flags & Qt::TextWordWrap ? box.width() : 1e6);
        height += leading;
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    qreal top = box.top();
    if (flags & Qt::AlignBottom)
        top += box.height() - height;
    else if (flags & Qt::AlignVCenter)
        top += (box.height() - height) / 2;
    QRectF ink;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        qreal left = box.left();
        if (flags & Qt::AlignRight)
            left += box.width() - line.naturalTextWidth();
        else if (flags & Qt::AlignHCenter)
            left += (box.width() - line.naturalTextWidth()) / 2;
        for (const QGlyphRun& run : line.glyphRuns()) {
            const QRawFont raw = run.rawFont();
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> places = run.positions();
            for (int g = 0; g < glyphs.size(); ++g) {
                const QRectF glyph = raw.pathForGlyph(glyphs[g]).boundingRect();
                if (!glyph.isEmpty())
                    ink |= glyph.translated(places[g] + QPointF(left, top));
            }
        }
    }
    return ink;
}

// A caption as a button shows it: "&&" is one ampersand, a single one marks the accelerator.
QString withoutMnemonic(const QString& text) {
    QString shown;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

struct Placed {
    QRectF box;  // where the text is laid out
    int flags;
    QRect room;  // what it must stay inside
};

Placed placeInLabel(const QLabel* label) {
    QRect box = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                               -label->margin());
    const Qt::Alignment align = label->alignment();
    int indent = label->indent();
    if (indent < 0 && label->frameWidth())
        indent = label->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - label->margin();
    if (indent > 0) {
        box.adjust(align & Qt::AlignLeft ? indent : 0, align & Qt::AlignTop ? indent : 0,
                   align & Qt::AlignRight ? -indent : 0, align & Qt::AlignBottom ? -indent : 0);
    }
    return {box, int(align) | (label->wordWrap() ? Qt::TextWordWrap : 0), label->contentsRect()};
}

Placed placeInButton(const QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool hasIcon = !button->icon().isNull();
    const int iconRoom = hasIcon ? button->iconSize().width() + 4 : 0;
    QStyle* style = button->style();
    if (qobject_cast<const QRadioButton*>(button) || qobject_cast<const QCheckBox*>(button)) {
        const QRect room = style->subElementRect(qobject_cast<const QRadioButton*>(button)
                                                     ? QStyle::SE_RadioButtonContents
                                                     : QStyle::SE_CheckBoxContents,
                                                 &option, button);
        return {room.adjusted(iconRoom, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, room};
    }
    if (auto* tool = qobject_cast<const QToolButton*>(button)) {
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        const QRect room = tool->rect().adjusted(frame, frame, -frame, -frame);
        if (hasIcon && tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon)
            return {room.adjusted(iconRoom, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, room};
        return {room, Qt::AlignCenter, room};
    }
    const QRect room = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    // Icon and text are centred together.
    return {room.adjusted(iconRoom, 0, 0, 0), Qt::AlignCenter, room};
}

// The part of widget's own rectangle that its parents leave visible, in its coordinates.
QRect visibleRoom(const QWidget* widget, QRect room) {
    QPoint offset;
    for (const QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        offset += w->pos();
        room &= w->parentWidget()->rect().translated(-offset);
    }
    return room;
}

// What does not fit in window, one caption a line.
QStringList clippedCaptions(QWidget* window) {
    QStringList clipped;
    const auto check = [&](const QWidget* widget, const QString& text, const Placed& placed) {
        const QRect room = visibleRoom(widget, placed.room);
        if (room.isEmpty())  // kept out of sight (a cancel button moved off the window)
            return;
        const QRectF ink = inkOf(text, widget->font(), placed.box, placed.flags);
        // Half a pixel for the antialiased edge of a glyph.
        if (!ink.isEmpty() && !QRectF(room).adjusted(-0.5, -0.5, 0.5, 0.5).contains(ink))
            clipped << QStringLiteral("%1 %2 \"%3\": ink %4,%5 %6x%7 outside %8,%9 %10x%11")
                           .arg(window->objectName(), widget->objectName(), text)
                           .arg(ink.x(), 0, 'f', 1)
                           .arg(ink.y(), 0, 'f', 1)
                           .arg(ink.width(), 0, 'f', 1)
                           .arg(ink.height(), 0, 'f', 1)
                           .arg(room.x())
                           .arg(room.y())
                           .arg(room.width())
                           .arg(room.height());
    };
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty())
            continue;
        if (Qt::mightBeRichText(label->text()) && label->textFormat() != Qt::PlainText) {
            QTextDocument document;
            document.setDefaultFont(label->font());
            document.setDocumentMargin(0);
            document.setHtml(label->text());
            if (label->wordWrap())
                document.setTextWidth(label->contentsRect().width());
            if (document.size().height() > label->contentsRect().height() ||
                document.idealWidth() > label->contentsRect().width())
                clipped << window->objectName() + ' ' + label->objectName() + ": rich text";
            continue;
        }
        const QString text = label->buddy() ? withoutMnemonic(label->text()) : label->text();
        check(label, text, placeInLabel(label));
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(window) || button->text().isEmpty())
            continue;
        if (auto* tool = qobject_cast<QToolButton*>(button);
            tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
            continue;
        check(button, withoutMnemonic(button->text()), placeInButton(button));
    }
    return clipped;
}

}  // namespace

class TextFitsTest : public QObject {
    Q_OBJECT

    CourseProgram program;

    // Shows form modally, gives it content while it is up and looks at it.
    static QStringList clippedWhileShown(TForm* form, const std::function<int()>& show,
                                         const std::function<void()>& fill = {}) {
        QStringList clipped;
        const bool ran = runWhileModal(show, form, [&] {
            if (fill)
                fill();
            QApplication::processEvents();
            clipped = clippedCaptions(form);
        });
        if (!ran)
            clipped << form->objectName() + " did not show";
        return clipped;
    }

  private slots:
    void initTestCase() {
        // The record window's goal line is checked over this run's pages only.
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(History::Store::defaultPath() + QLatin1String(suffix));
        VERIFY_NO_FAULT(program.startAtMainWindow());
    }

    void captionsFitInEveryWindow() {
        QStringList clipped = clippedCaptions(frmmavro);
        // Hints with descenders: 键 is "qvfp", 一 is "g".
        const QStringList page = {QStringLiteral("键一的工地在要中国"),
                                  QStringLiteral("一键的人民第行经"), QStringLiteral("工地在要"),
                                  QStringLiteral("中国人民"), QStringLiteral("第行经键")};
        QString hint;
        clipped << clippedWhileShown(
            frmTest, [&] { return frmTest->ShowLines(page); },
            [&] {
                hint = frmTest->Label10->text();
                frmTest->H1->setText(QStringLiteral("输入时间为:12分59秒"));
                frmTest->H2->setText(QStringLiteral("每分钟257个"));
                frmTest->BC1->setText(QStringLiteral("输入时间为:12分59秒"));
                frmTest->BC2->setText(QStringLiteral("每分钟257个"));
            });
        clipped << clippedWhileShown(
            frmTime, [] { return frmTime->ShowModal(); },
            [] {
                // The root drill's lines, the longest a caller writes.
                frmTime->Label1->setText(QStringLiteral("输入时间为：12分59秒"));
                frmTime->Label2->setText(QStringLiteral("每分钟:1257个"));
                frmTime->Label3->setText(QStringLiteral("错误个数为：28个"));
                frmTime->Label3->show();
            });
        QCOMPARE(hint, QStringLiteral("键:qvfp"));
        frmTime->Label3->hide();
        frmwbTest1->JB1->setText(QStringLiteral("31"));
        frmwbTest1->JB2->setText(QStringLiteral("0"));
        clipped << clippedWhileShown(frmwbTest1, [] { return frmwbTest1->ShowModal(); });
        clipped << clippedWhileShown(frmTT, [] {
            frmTT->Table1.First();
            frmmavro->Label1->setText(QStringLiteral("124"));
            frmTT->Table1.MoveBy(124);
            return frmTT->ShowModal();
        });
        clipped << clippedWhileShown(
            frmWBfind, [] { return frmWBfind->ShowModal(); },
            [] { QTest::keyClicks(frmWBfind->Edit2, QStringLiteral("g")); });
        clipped << clippedWhileShown(
            frmWBfind, [] { return frmWBfind->ShowModal(); },
            [] {
                frmWBfind->PageControl1->setCurrentWidget(frmWBfind->TabSheet1);
                frmWBfind->Edit1->setText(QStringLiteral("键"));
                QTest::keyClick(frmWBfind->Edit1, Qt::Key_End);
            });
        clipped << clippedWhileShown(frmFree, [] { return frmFree->ShowModal(); });
        clipped << clippedWhileShown(frmSound, [] { return frmSound->ShowModal(); });
        clipped << clippedWhileShown(frmWeb, [] { return frmWeb->ShowModal(); });
        // The record window, first without a page, then over days of rising speed: the goal line
        // with its estimate.
        frmRecord = new TfrmRecord;
        frmRecord->create();
        clipped << clippedWhileShown(frmRecord, [] { return frmRecord->ShowModal(); });
        // Long texts: 100 minutes today, short of a goal of 120, and a far target, so that
        // the estimate runs to four figures.
        History::Store& store = History::Store::instance();
        DailyGoal::setMinutes(store, 120);
        store.setSetting(QStringLiteral("adaptive/targetCpm"), QStringLiteral("3000"));
        for (int day = 12; day >= 0; --day) {
            History::Page page;
            page.at = QDateTime::currentDateTimeUtc().addDays(-day);
            page.drill = day > 0 ? History::kText : History::kFinger;
            page.lesson = QStringLiteral("课程练习[&1]");
            page.ms = day > 0 ? 60000 : 6'000'000;
            page.amount = 2 * (30 - day);
            store.record(page);
        }
        clipped << clippedWhileShown(frmRecord, [] { return frmRecord->ShowModal(); });
        clipped.removeDuplicates();
        QVERIFY2(clipped.isEmpty(), qPrintable("\n" + clipped.join('\n')));
    }

    void colouredCaptionsShowTheirColour() {
        struct Caption {
            QLabel* label;
            QColor colour;
        };
        QStringList wrong;
        const auto look = [&](std::initializer_list<Caption> captions) {
            QApplication::processEvents();
            for (const Caption& caption : captions) {
                const QImage image = caption.label->grab().toImage();
                int inked = 0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x) {
                        const QColor c = image.pixelColor(x, y);
                        inked += qAbs(c.red() - caption.colour.red()) +
                                             qAbs(c.green() - caption.colour.green()) +
                                             qAbs(c.blue() - caption.colour.blue()) <
                                         90
                                     ? 1
                                     : 0;
                    }
                if (inked < 20)
                    wrong << caption.label->objectName() + " \"" + caption.label->text() + "\"";
            }
        };
        runWhileModal([] { return frmTime->ShowModal(); }, frmTime,
                      [&] {
                          frmTime->Label1->setText(QStringLiteral("输入时间为：1分10秒"));
                          frmTime->Label2->setText(QStringLiteral("每分钟:257个"));
                          frmTime->Label3->setText(QStringLiteral("错误个数为：3个"));
                          frmTime->Label3->show();
                          look({{frmTime->Label1, Qt::blue},
                                {frmTime->Label2, Qt::blue},
                                {frmTime->Label3, Qt::red}});
                      });
        frmTime->Label3->hide();
        runWhileModal([] { return frmWeb->ShowModal(); }, frmWeb,
                      [&] {
                          look({{frmWeb->Label1, Qt::blue}});
                      });
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(", ")));
    }
};

QTEST_MAIN(TextFitsTest)
#include "test_textfits.moc"
