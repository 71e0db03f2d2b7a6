#include "app/TraceControls.h"

#include "app/EditorSession.h"
#include "app/IniFile.h"
#include "canvas/Canvas.h"
#include "platform/Platform.h"
#include "tools/TraceTool.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QSpinBox>
#include <QWheelEvent>
#include <QWidgetAction>

#include <utility>

namespace korvane {

namespace {

const QString kSection = QStringLiteral("Umriss");
const QString kToleranceKey = QStringLiteral("Toleranz");
const QString kPrecisionKey = QStringLiteral("Genauigkeit");

// A small input in a menu, with its label before it.
QWidgetAction* menuInput(QObject* parent, const QString& label, QWidget* input)
{
    auto* holder = new QWidget;
    auto* layout = new QFormLayout(holder);
    layout->setContentsMargins(24, 2, 8, 2);
    layout->addRow(label, input);
    auto* entry = new QWidgetAction(parent);
    entry->setDefaultWidget(holder);
    return entry;
}

} // namespace

TraceControls::TraceControls(EditorSession& session, Canvas& canvas, ToolContext& context, Window window)
    : QObject(window.owner), m_session(session), m_canvas(canvas), m_window(std::move(window)),
      m_tool(std::make_unique<TraceTool>(context))
{
    connect(m_tool.get(), &TraceTool::settingsChanged, this, &TraceControls::writeSettings);

    m_action = new QAction(tr("&Umriss"), this);
    m_action->setObjectName(QStringLiteral("actUmriss"));
    m_action->setCheckable(true);
    m_action->setEnabled(false);
    // Ctrl and a digit, after the drawing tools' Ctrl+1 to Ctrl+4.
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_5));
    m_action->setStatusTip(tr("Umriss: ein Klick in eine Fläche des Bildes macht ihren Umriss zum Polygon"));
    m_window.owner->addAction(m_action);
    connect(m_action, &QAction::triggered, this, &TraceControls::choose);

    createMenuEntries();
    // The window takes its children apart in turn: the canvas may outlive these controls.
    m_canvas.setToolPainter([self = QPointer<TraceControls>(this)](QPainter& painter, const QRectF& visible) {
        if (self && self->chosen())
            self->m_tool->paint(painter, visible);
    });
    m_canvas.installEventFilter(this);
}

TraceControls::~TraceControls() = default;

bool TraceControls::chosen() const
{
    return m_session.chosenOption() == ChosenOption::Trace;
}

QString TraceControls::helpText()
{
    return tr("Umriss: Ein Klick in eine Fläche des Bildes macht ihren Umriss zu einem Polygon. Die Toleranz "
              "(Tasten + und -, Umschalt+Mausrad, Kontextmenü) bestimmt, wie weit die Farben der Fläche von der "
              "angeklickten abweichen dürfen.");
}

void TraceControls::choose()
{
    // A key or a menu may choose it while it cannot work (no picture yet).
    if (!m_action->isEnabled())
        return;
    readSettingsOnce();
    m_tool->cancel();
    m_window.choose();
    m_action->setChecked(true);
}

void TraceControls::leave()
{
    m_tool->cancel();
    m_action->setChecked(false);
}

void TraceControls::releasePicture()
{
    m_tool->releasePicture();
}

void TraceControls::createMenuEntries()
{
    m_tolerance = new QSpinBox;
    m_tolerance->setObjectName(QStringLiteral("spnToleranz"));
    m_tolerance->setRange(TraceTool::kSmallestTolerance, TraceTool::kLargestTolerance);
    m_tolerance->setSingleStep(TraceTool::kToleranceStep);
    m_tolerance->setToolTip(tr("Wie weit die Farben der Fläche von der angeklickten abweichen dürfen (0 bis 255)"));
    connect(m_tolerance, &QSpinBox::valueChanged, this, [this](int value) { m_tool->setTolerance(value); });
    m_toleranceEntry = menuInput(this, tr("Toleranz:"), m_tolerance);

    m_precision = new QDoubleSpinBox;
    m_precision->setObjectName(QStringLiteral("spnGenauigkeit"));
    m_precision->setRange(TraceTool::kSmallestPrecision, TraceTool::kLargestPrecision);
    m_precision->setDecimals(1);
    m_precision->setSingleStep(0.5);
    m_precision->setToolTip(tr("Wie weit der Umriss der Fläche höchstens vom Polygon abweicht, in Bildpunkten"));
    connect(m_precision, &QDoubleSpinBox::valueChanged, this, [this](double value) { m_tool->setPrecision(value); });
    m_precisionEntry = menuInput(this, tr("Genauigkeit (Pixel):"), m_precision);

    m_allRegions = new QAction(tr("Alle Regionen dieser Farbe"), this);
    m_allRegions->setObjectName(QStringLiteral("actAlleRegionen"));
    connect(m_allRegions, &QAction::triggered, this, &TraceControls::traceColour);
}

QList<QAction*> TraceControls::menuEntries()
{
    if (!chosen())
        return {};
    readSettingsOnce();
    {
        const QSignalBlocker blockTolerance(m_tolerance);
        const QSignalBlocker blockPrecision(m_precision);
        m_tolerance->setValue(m_tool->tolerance());
        m_precision->setValue(m_tool->precision());
    }
    m_allRegions->setEnabled(m_menuAt.has_value());
    return {m_allRegions, m_toleranceEntry, m_precisionEntry};
}

bool TraceControls::traceColour()
{
    return m_menuAt && m_tool->traceColourAt(*m_menuAt);
}

// The wheel and the keys reach the canvas's other filters only when the tool
// does not take them; the menu's place is noted before the window shows it.
bool TraceControls::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_canvas || !chosen())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        return m_tool->wheel(wheel->angleDelta(), wheel->modifiers());
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return m_tool->key(key->key(), key->modifiers());
    }
    case QEvent::Leave:
        m_tool->cancel();
        break;
    case QEvent::ContextMenu: {
        const auto* request = static_cast<QContextMenuEvent*>(event);
        m_menuAt.reset();
        if (request->reason() == QContextMenuEvent::Mouse)
            m_menuAt = m_canvas.toPicture(request->pos());
        else if (const auto pixel = m_tool->lastPixel())
            m_menuAt = QPointF(*pixel);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// Kept values replace the defaults once, before the user first changes one.
void TraceControls::readSettingsOnce()
{
    if (std::exchange(m_settingsRead, true))
        return;
    QString contents;
    if (!iniReadContents(settingsFilePath(), contents))
        return;
    const IniContents stored(contents);
    int tolerance = m_tool->tolerance();
    double precision = m_tool->precision();
    if (const auto value = settingShort(stored.value(kSection, kToleranceKey));
        value && *value >= TraceTool::kSmallestTolerance && *value <= TraceTool::kLargestTolerance)
        tolerance = *value;
    bool ok = false;
    const double read = stored.value(kSection, kPrecisionKey).trimmed().toDouble(&ok);
    if (ok && read >= TraceTool::kSmallestPrecision && read <= TraceTool::kLargestPrecision)
        precision = read;
    m_tool->restoreSettings(tolerance, precision);
}

void TraceControls::writeSettings()
{
    const QList<IniSetting> settings{{kSection, kToleranceKey, QString::number(m_tool->tolerance())},
                                     {kSection, kPrecisionKey, QString::number(m_tool->precision())}};
    IniError error;
    if (!iniWriteSettings(settings, settingsFilePath(), &error) && !std::exchange(m_failureShown, true))
        warn(m_window.owner, QStringLiteral("Error: %1. %2").arg(error.number).arg(error.description),
             QStringLiteral("INIWriteSetting"));
}

} // namespace korvane
