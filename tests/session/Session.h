#pragma once

#include "session/Model.h"
#include "session/SessionPlatform.h"
#include "support/SettingsFolder.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QPoint>
#include <QRect>
#include <QTemporaryDir>
#include <QColor>
#include <QMap>

#include <memory>
#include <optional>

class QAbstractButton;
class QAction;
class QKeySequence;
class QMenu;
class QRegion;
class QWidget;

namespace korvane {
class MainWindow;
class RecoveryKeeper;
class AreaTableWindow;
class ExportWindow;
} // namespace korvane

namespace korvane::session {

// What went wrong in a sequence: the invariant (a short fixed name, so two
// runs can tell whether they failed the same way) and what was seen.
struct Failure {
    QString check;
    QString detail;
    int fault = 0; // a known fault of the issue this failure shows, 0: none known
    int step = -1; // the step that failed, from 0
    QString action;
    bool operator==(const Failure&) const = default;
};

// The known faults that the random sessions reach, while they are being
// mended on branches of their own. A failure that one of them explains is
// reported as known and does not fail the run; the regression rows expect
// them to fail until the fault is marked mended here.
struct KnownFault {
    int number; // the number; from 101 on, found by these sessions
    const char* branch; // where it is being mended, or "reported"
    bool mended;
};
const KnownFault* knownFault(int number);
// Known and not yet mended: the random runs steer clear of what shows it
// (its regression row keeps it in sight), so that they get past it.
bool unmended(int fault);

// One run of the editor as the user would have it: a fresh settings folder,
// state folder and files to open, the real main window with its recovery
// keeper, the platform double and the test's own model. The steps of the
// catalogue drive it; after each step the window is checked against the model.
class Session {
public:
    struct Options {
        int costlyEvery = 20;   // pixel and recovery checks every this many steps
        int stepBoundMs = 5000; // a step taking longer fails
        // Generated runs steer clear of the known faults not yet mended, and
        // look past what they would show; replays show everything.
        bool steerClear = false;
    };
    explicit Session(Options options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    MainWindow& w() { return *m_window; }
    RecoveryKeeper& keeper() { return *m_keeper; }
    SessionPlatform& platform() { return *m_platform; }
    ModalAnswers& modals() { return m_modals; }
    Model& model() { return m_model; }
    const Options& options() const { return m_options; }

    // --- failures ---
    void fail(const QString& check, const QString& detail, int fault = 0);
    bool failed() const { return m_failure.has_value(); }
    const std::optional<Failure>& failure() const { return m_failure; }
    // A generated run looks past this known fault while it is not mended.
    bool tolerates(int fault) const { return m_options.steerClear && unmended(fault); }
    // Tags the running step with a known fault it may show (for failures found in it).
    void mayShowFault(int fault) { m_faultHint = fault; }
    // Compares and fails with both values shown; true when equal.
    bool expectEqual(const QString& check, const QString& actual, const QString& expected, int fault = 0);
    bool expectLines(const QString& check, const QStringList& expected, int fault = 0);

    // --- running a step: before, the runner, after ---
    void beginStep(int index, const QString& action);
    void endStep();
    // The checks after every step, and the costly ones.
    void checkCheap();
    void checkCostly();

    // --- the files a step may open, in a folder of this run ---
    QString path(const QString& relative) const;
    QString picture(int which) const; // 0 plan.png 400 x 300, 1 zweites.png 320 x 240, 2 gross.png 1600 x 1400
    QString write(const QString& relative, const QByteArray& bytes) const;

    // --- the window as the user reaches it ---
    // The window active and the canvas focused, as after a click on it.
    void activate();
    void focusCanvas();
    // A picture point on the canvas widget at the zoom shown.
    QPoint onCanvas(QPointF picturePoint) const;
    // The point is within the part of the canvas the viewport shows.
    bool visibleOnCanvas(QPointF picturePoint) const;
    QSize pictureSize() const;
    bool hasPicture() const;
    bool editMode() const;
    void clickOption(int option); // Option1_0 .. Option1_3
    // A specified button pressed: clicked, or by the menu bar's route its entry chosen.
    void press(QAbstractButton* button);
    // A key on the canvas, the list or the window; by the menu bar's route
    // the entry that shows the key is chosen instead, where there is one.
    void key(QWidget* on, int key, Qt::KeyboardModifiers modifiers = {});
    void windowKey(int key, Qt::KeyboardModifiers modifiers = {});
    // The window closed as by its close button (`byKey`: Ctrl+Q); by the menu
    // bar's route "Beenden".
    void closeWindow(bool byKey = false);

    // --- the menu bar ---
    // How the commands are given: by their buttons and keys, or by the menu
    // bar's entries that run them (the catalogue's "menu" action).
    enum class Route { Direct, MenuBar };
    Route route() const { return m_route; }
    void setRoute(Route route) { m_route = route; }
    // Finds the next entry among a menu's actions (or the bar's titles).
    using Pick = std::function<QAction*(const QList<QAction*>&)>;
    // Chooses as a user does: the menu opened by a click on its title in the
    // bar, a submenu by the arrow key, the entry by Return. Each pick finds the
    // next action in the menu shown (the first one the title's); a pick that
    // finds none or a disabled entry closes the menus. True when the last was chosen.
    bool chooseInMenuBar(const QList<Pick>& picks);
    bool chooseInMenuBar(QAction* entry);
    // The bar's entry that runs this button, or shows this key; null: none.
    QAction* menuEntryFor(const QAbstractButton* button) const;
    QAction* menuEntryFor(const QKeySequence& keys) const;

    // --- the files opened, newest first: what Datei > Zuletzt geöffnet lists ---
    const QStringList& recentFiles() const { return m_recent; }
    void opened(const QString& path);
    void forgetRecent(const QString& path) { m_recent.removeAll(path); }
    void clearRecent() { m_recent.clear(); }
    // --- the responsive form's highlight: as chosen, and as the settings file keeps it ---
    struct Highlight {
        int kind = 2; // Keine, Umriss, Umriss und Fläche
        QRgb colour = 0x005ac8;
        bool operator==(const Highlight&) const = default;
    };
    Highlight& highlight() { return m_highlight; }

    // --- files the window wrote in one of its own forms, with the lines they hold ---
    const QMap<QString, QStringList>& ownForms() const { return m_ownForms; }
    void wroteOwnForm(const QString& path, const QStringList& lines) { m_ownForms[path] = lines; }
    void forgetOwnForm(const QString& path) { m_ownForms.remove(path); }

    // The fixtures written again (a step may have removed one).
    void restoreFixtures() { makeFixtures(); }
    // Presses on `on` at `from`, moves through the middle to `to` and
    // releases there (points of `on`).
    void drag(QWidget* on, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {});
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {});
    // The code the code box shows, every line ended with CR LF.
    QString codeShown() const;
    // The code the lines give, as the generator writes it.
    QString codeOfLines() const;
    AreaTableWindow* areaTable() const;
    ExportWindow* exportWindow() const;

    // --- the program ended and started again ---
    // A crash: the recovery file flushed, kept under the name of an ended
    // editor, the window gone without a word; a new one starts on it.
    // `files`: named on the new window's command line; it starts as the
    // program starts it and opens them once the recovery is offered (the
    // step's answers set before).
    void crashAndRestart(const QStringList& files = {});
    // A recovery file of another ended editor that is no file to read (1: a
    // link to /dev/zero, 2: a pipe), for the next start; its path, "" when it
    // could not be made.
    QString placeStrangeRecoveryFile(int kind);
    // After a normal end of the window: a new one starts.
    void restart();
    // An import that stopped halfway took another name or picture for the
    // map without making its code again: the code box may show this code
    // until its code is made again.
    void allowStaleCode(const QString& code) { m_staleCode = code; }
    // The recovery file of the ended editor that the next start offers.
    const QString& orphanFile() const { return m_orphan; }

private:
    void startWindow();
    void makeFixtures();
    void checkLines();
    void checkCode();
    void checkTable();
    void checkStatusLine(bool whole);
    void checkRecentFiles();
    void checkIdle();
    void checkPixels();
    void checkChequerboard(const QRegion& highlighted);
    void checkRecoveryFile();
    void watch();

    Options m_options;
    QTemporaryDir m_dir;
    test::SettingsFolder m_settings;
    QByteArray m_oldStateHome;
    SessionPlatform* m_platform = nullptr;
    ModalAnswers m_modals;
    Model m_model;
    std::unique_ptr<MainWindow> m_window;
    RecoveryKeeper* m_keeper = nullptr;
    std::optional<Failure> m_failure;
    int m_faultHint = 0;
    int m_step = -1;
    int m_stepsDone = 0;
    QString m_action;
    QElapsedTimer m_stepClock;
    QString m_orphan;
    QString m_staleCode;
    Route m_route = Route::Direct;
    QStringList m_recent; // kept in the settings file: it outlives the window
    Highlight m_highlight;
    Highlight m_highlightStored;
    QMap<QString, QStringList> m_ownForms;
    // A dialog or menu that stays open (no answer closed it) would hang the
    // sequence: after a few seconds it is a failure and closed.
    QTimer m_watchdog;
    QPointer<QWidget> m_openSince;
    int m_openTicks = 0;
};

} // namespace korvane::session
