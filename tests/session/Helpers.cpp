#include "session/Helpers.h"

#include "app/MainWindow.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "dialogs/AttributeForm.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace korvane::session {

namespace {

// Plain values, a "|" inside, an umlaut, HTML characters, "href=" typed
// along, JavaScript, empty fields.
const AttributeInput kInputs[] = {
    {QStringLiteral("ziel.html"), QStringLiteral("Ziel"), {}, {}, {}, {}},
    {QStringLiteral("seite b.html#teil"), QStringLiteral("Teil & Ganzes"), QStringLiteral("_blank"), {}, {}, {}},
    {QStringLiteral("a|b.html"), QStringLiteral("Ä|Ö"), QStringLiteral("oben"), {}, {}, QStringLiteral("zeige()")},
    {QStringLiteral("href=\"x.html\""), {}, {}, {}, {}, {}},
    {QStringLiteral("javascript:alert('x')"), QStringLiteral("Meldung <b>"), QStringLiteral("_top"),
     QStringLiteral("hin()"), QStringLiteral("weg()"), {}},
};

QString bars(const QString& value)
{
    return QString(value).replace(QLatin1Char('|'), QStringLiteral("&#124;"));
}

QString optional(const QString& value)
{
    return value.trimmed().isEmpty() ? QStringLiteral("*") : bars(value);
}

QString padded(const QString& shape)
{
    return QLatin1Char(' ') + shape + QString(20, QLatin1Char(' '));
}

} // namespace

int attributeInputCount()
{
    return int(std::size(kInputs));
}

const AttributeInput& attributeInput(int index)
{
    return kInputs[std::clamp(index, 0, attributeInputCount() - 1)];
}

QStringList storedAttributes(const AttributeInput& in, bool linkDialog)
{
    QString href = in.href;
    if (linkDialog) {
        href.remove(QStringLiteral("href="), Qt::CaseInsensitive);
        href.remove(QLatin1Char('"'));
    }
    return {bars(href), bars(in.alt), optional(in.target), optional(in.over), optional(in.out), optional(in.click)};
}

void typeText(QWidget* on, const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            QTest::keyClick(on, Qt::Key_Return);
        } else if (c.unicode() < 128) {
            QTest::keyClick(on, char(c.unicode()));
        } else {
            // Beyond ASCII there is no key code; the key's text carries it.
            QTest::sendKeyEvent(QTest::Press, on, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, on, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        typeText(edit, text);
}

void answerAttributeDialog(Session& s, const AttributeInput& input, DialogEnd end)
{
    s.modals().expect([&s, input, end](QWidget* dialog) {
        auto* form = qobject_cast<AttributeForm*>(dialog);
        if (!form) {
            s.fail(QStringLiteral("wrong-dialog"), QStringLiteral("an attribute dialog was expected, %1 opened")
                                                       .arg(dialog->objectName()));
            dialog->close();
            return;
        }
        typeInto(form->ui.Text1, input.href);
        typeInto(form->ui.text2, input.alt);
        typeInto(form->ui.Combo1->lineEdit(), input.target);
        typeInto(form->ui.txtMouseOver, input.over);
        typeInto(form->ui.txtMouseOut, input.out);
        typeInto(form->ui.txtOnClick, input.click);
        if (end == DialogEnd::Accept)
            QTest::mouseClick(form->ui.Command2, Qt::LeftButton);
        else if (end == DialogEnd::Cancel)
            QTest::mouseClick(form->ui.Command3, Qt::LeftButton);
        else
            QTest::keyClick(form, Qt::Key_Escape); // asks whether the input may go: the step says Yes
    });
}

QString drawnLine(const QString& shape, const QList<int>& coords, const QStringList& attributes)
{
    QStringList numbers;
    for (int c : coords)
        numbers << QString::number(c);
    return padded(shape) + QLatin1Char('|') + numbers.join(QLatin1Char(',')) + QLatin1Char('|') +
           attributes.join(QLatin1Char('|'));
}

QStringList fieldsOf(const QString& line)
{
    return line.split(QLatin1Char('|'));
}

QString shapeOf(const QString& line)
{
    return fieldsOf(line).value(0).trimmed();
}

QList<int> coordsOf(const QString& line)
{
    QList<int> values;
    for (const QString& part : fieldsOf(line).value(1).split(QLatin1Char(','), Qt::SkipEmptyParts))
        values << part.trimmed().toInt();
    return values;
}

QString withCoords(const QString& line, const QList<int>& coords)
{
    QStringList fields = fieldsOf(line);
    QStringList numbers;
    for (int c : coords)
        numbers << QString::number(c);
    fields[1] = numbers.join(QLatin1Char(','));
    return fields.join(QLatin1Char('|'));
}

std::optional<QRect> extentOf(const QString& line)
{
    const QList<int> c = coordsOf(line);
    const QString shape = shapeOf(line);
    if (shape == QLatin1String("circle") && c.size() >= 3)
        return QRect(QPoint(c[0] - c[2], c[1] - c[2]), QPoint(c[0] + c[2], c[1] + c[2]));
    if (c.size() < 4 || c.size() % 2 != 0)
        return std::nullopt;
    int left = c[0], right = c[0], top = c[1], bottom = c[1];
    for (qsizetype i = 0; i + 1 < c.size(); i += 2) {
        left = std::min(left, c[i]);
        right = std::max(right, c[i]);
        top = std::min(top, c[i + 1]);
        bottom = std::max(bottom, c[i + 1]);
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

std::optional<QPoint> translation(const QString& before, const QString& after)
{
    if (!sameButCoords(before, after))
        return std::nullopt;
    const QList<int> a = coordsOf(before), b = coordsOf(after);
    if (a.size() != b.size() || a.size() < 2)
        return std::nullopt;
    const QPoint by(b[0] - a[0], b[1] - a[1]);
    const bool circle = shapeOf(before) == QLatin1String("circle");
    for (qsizetype i = 0; i < a.size(); ++i) {
        const int expected = circle && i == 2 ? a[i] : a[i] + (i % 2 == 0 ? by.x() : by.y());
        if (b[i] != expected)
            return std::nullopt;
    }
    return by;
}

bool sameButCoords(const QString& before, const QString& after)
{
    QStringList a = fieldsOf(before), b = fieldsOf(after);
    if (a.size() < 2 || a.size() != b.size())
        return false;
    a.removeAt(1);
    b.removeAt(1);
    return a == b;
}

QList<int> changedRows(const QStringList& before, const QStringList& after)
{
    QList<int> rows;
    for (int i = 0; i < std::min(before.size(), after.size()); ++i) {
        if (before[i] != after[i])
            rows << i;
    }
    return rows;
}

bool expectReshaped(Session& s, const QString& check, const QStringList& before, const QStringList& after,
                    const QList<int>& rows, bool moveOnly)
{
    if (before.size() != after.size()) {
        s.fail(check, QStringLiteral("%1 lines became %2").arg(before.size()).arg(after.size()));
        return false;
    }
    for (int row : changedRows(before, after)) {
        if (!rows.contains(row)) {
            s.fail(check, QStringLiteral("line %1 changed, which was not moved\n  %2\n  %3")
                              .arg(row)
                              .arg(before[row], after[row]));
            return false;
        }
        const bool ok = moveOnly ? translation(before[row], after[row]).has_value()
                                 : sameButCoords(before[row], after[row]) &&
                                       shapeOf(before[row]) == shapeOf(after[row]);
        if (!ok) {
            s.fail(check, QStringLiteral("line %1 became\n  %2\nfrom\n  %3").arg(row).arg(after[row], before[row]));
            return false;
        }
    }
    return true;
}

Reply replyFor(int choice)
{
    switch (((choice % 3) + 3) % 3) {
    case 0:
        return Reply::Yes;
    case 1:
        return Reply::No;
    default:
        return Reply::Escape;
    }
}

QList<int> selectedRows(Session& s)
{
    return s.w().document().selectedRows();
}

int currentRow(Session& s)
{
    return s.w().selectedIndex();
}

// The area a click at that picture point chooses: the canvas pixel the
// click lands on, read back at the zoom shown.
static int areaClickedAt(Session& s, QPoint picturePoint)
{
    return s.w().renderer().areaAt(s.w().ui.Picture1->toPicture(s.onCanvas(picturePoint)));
}

std::optional<QPointF> pointOnArea(Session& s, int row)
{
    const std::optional<QRect> extent = extentOf(s.w().areas().line(row));
    if (!extent)
        return std::nullopt;
    const QRect within = extent->intersected(QRect(QPoint(0, 0), s.pictureSize()));
    if (within.isEmpty())
        return std::nullopt;
    // A press on a handle would take the handle.
    const auto chooses = [&s, row](QPoint p) { return areaClickedAt(s, p) == row && !onHandle(s, s.onCanvas(p)); };
    const QPoint centre = within.center();
    if (chooses(centre))
        return QPointF(centre);
    const int stepX = std::max(1, within.width() / 8), stepY = std::max(1, within.height() / 8);
    for (int y = within.top(); y <= within.bottom(); y += stepY) {
        for (int x = within.left(); x <= within.right(); x += stepX) {
            if (chooses(QPoint(x, y)))
                return QPointF(x, y);
        }
    }
    return std::nullopt;
}

QList<Session::Pick> menuPicks(const QString& menu, const QStringList& entries)
{
    QList<Session::Pick> picks{[menu](const QList<QAction*>& titles) -> QAction* {
        for (QAction* a : titles) {
            if (a->menu() && a->menu()->objectName() == menu)
                return a;
        }
        return nullptr;
    }};
    for (const QString& entry : entries) {
        picks << [entry](const QList<QAction*>& actions) -> QAction* {
            for (QAction* a : actions) {
                if (!a->isSeparator() && QString(a->text()).remove(QLatin1Char('&')).startsWith(entry))
                    return a;
            }
            return nullptr;
        };
    }
    return picks;
}

std::optional<QPointF> pointOffAreas(Session& s, QPointF wish)
{
    const QSize size = s.pictureSize();
    for (int attempt = 0; attempt < 40; ++attempt) {
        const QPoint p((int(wish.x()) + attempt * 37) % std::max(1, size.width()),
                       (int(wish.y()) + attempt * 23) % std::max(1, size.height()));
        if (areaClickedAt(s, p) < 0 && !onHandle(s, s.onCanvas(p)))
            return QPointF(p);
    }
    return std::nullopt;
}

bool onHandle(Session& s, QPoint canvasPoint)
{
    EditHandles& handles = s.w().handles();
    Canvas* canvas = s.w().ui.Picture1;
    for (int i = 0; i < handles.count(); ++i) {
        const HandleWidget* widget = handles.handle(i);
        const QRect rect = widget ? (widget->isVisible() ? widget->geometry() : QRect())
                                  : QRect(canvas->handlePosition(handles.placeOf(i), 0),
                                          QSize(EditHandles::kSize, EditHandles::kSize));
        if (rect.adjusted(-2, -2, 2, 2).contains(canvasPoint))
            return true;
    }
    return false;
}

} // namespace korvane::session
