#include "io/ExportWindow.h"
#include "model/Codec.h"

#include "io/FileReplace.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

namespace korvane {

namespace {

constexpr int kTopBarHeight = 64;
constexpr int kBottomBarHeight = 24;
// The text box of the program this window follows held at most 65,535
// characters; above that the pasted code is not selected.
constexpr qsizetype kSelectLimit = 65536;

// Text1: copies and drags leave the invisible line-end markers behind, and
// nothing typed or pasted comes between a marker and its break.
class ExportTextEdit : public QPlainTextEdit {
public:
    ExportTextEdit(const PageText& page, QWidget* parent) : QPlainTextEdit(parent), m_page(page) {}

    // A caret (or selection end) at the end of a line whose line end is marked
    // moves in front of the marker, so that what is inserted there leaves the
    // line end as it was.
    void keepLineEndMarker()
    {
        QTextCursor cursor = textCursor();
        const int end = cursor.selectionEnd();
        if (!followsMarker(end))
            return;
        cursor.setPosition(std::min(cursor.selectionStart(), end - 1));
        cursor.setPosition(end - 1, QTextCursor::KeepAnchor);
        setTextCursor(cursor);
    }

protected:
    QMimeData* createMimeDataFromSelection() const override
    {
        auto* data = new QMimeData;
        data->setText(
            m_page.withoutMarkers(textCursor().selection().toRawText()).replace(QChar(0x2029), QLatin1Char('\n')));
        return data;
    }
    void insertFromMimeData(const QMimeData* source) override
    {
        keepLineEndMarker();
        QPlainTextEdit::insertFromMimeData(source);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        // Delete behind a marker removes the break, and the line end with it.
        if (!event->text().isEmpty() && !event->matches(QKeySequence::Delete))
            keepLineEndMarker();
        QPlainTextEdit::keyPressEvent(event);
    }

private:
    // Whether `position` is a line's end right behind a line-end marker.
    bool followsMarker(int position) const
    {
        const QTextBlock block = document()->findBlock(position);
        return m_page.usesMarkers() && block.isValid() && position > block.position() &&
               position == block.position() + block.length() - 1 &&
               m_page.isMarker(document()->characterAt(position - 1));
    }
    const PageText& m_page;
};

QString readFailedMessage(const QString& path)
{
    return QCoreApplication::translate("korvane::ExportWindow", "Die Datei \"%1\" konnte nicht gelesen werden.")
        .arg(path);
}

QString saveFailedMessage(const QString& path)
{
    return QCoreApplication::translate("korvane::ExportWindow",
                                       "Der HTML-Code konnte nicht gespeichert werden: Die Datei \"%1\" ließ sich "
                                       "nicht schreiben.")
               .arg(path) +
           kCrLf + kCrLf +
           QCoreApplication::translate("korvane::ExportWindow",
                                       "Eine bereits vorhandene Datei dieses Namens ist unverändert geblieben.");
}

} // namespace

// The central panel tells the window when its size changed, so the bars and
// the text follow.
class ExportPanel : public QWidget {
public:
    explicit ExportPanel(ExportWindow* window) : QWidget(window), m_window(window) {}

protected:
    void resizeEvent(QResizeEvent*) override { m_window->arrange(); }

private:
    ExportWindow* m_window;
};

QString ExportWindow::rawText() const
{
    return ui.Text1->document()->toRawText();
}

bool ExportWindow::textModified() const
{
    return ui.Text1->document()->isModified();
}

ExportWindow::ExportWindow(QWidget* owner) : QMainWindow(owner)
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(tr("MAP-Daten in eine bereits existierende HTML-Datei einfügen"));
    createControls();
    createEditMenu();
    connect(ui.Text1, &QPlainTextEdit::textChanged, this, &ExportWindow::textChanged);
    m_edit.setTextBox(ui.Text1);
    resize(760, 560);
}

ExportWindow::~ExportWindow() = default;

void ExportWindow::createControls()
{
    auto* panel = new ExportPanel(this);
    setCentralWidget(panel);

    ui.Picture1 = new QWidget(panel);
    ui.Picture1->setObjectName(QStringLiteral("Picture1"));
    ui.Command1 = new QPushButton(tr("Einfügen"), ui.Picture1);
    ui.Command1->setObjectName(QStringLiteral("Command1"));
    ui.Command3 = new QPushButton(QStringLiteral("undo"), ui.Picture1);
    ui.Command3->setObjectName(QStringLiteral("Command3"));
    ui.Command2 = new QPushButton(QStringLiteral("Speichern"), ui.Picture1);
    ui.Command2->setObjectName(QStringLiteral("Command2"));
    ui.Label1 = new QLabel(tr("Positionieren Sie den Maus-Cursor mit einem Maus-Klick an die gewünschte "
                                          "Stelle des Quelltextes und klicken Sie danach auf den Button "
                                          "\"Einfügen\"."),
                           ui.Picture1);
    ui.Label1->setObjectName(QStringLiteral("Label1"));
    ui.Label1->setWordWrap(true);
    auto* top = new QHBoxLayout(ui.Picture1);
    top->addWidget(ui.Command1);
    top->addWidget(ui.Command3);
    top->addWidget(ui.Command2);
    top->addWidget(ui.Label1, 1);

    ui.Picture2 = new QWidget(panel);
    ui.Picture2->setObjectName(QStringLiteral("Picture2"));
    ui.Label2 = new QLabel(ui.Picture2);
    ui.Label2->setObjectName(QStringLiteral("Label2"));
    auto* bottom = new QHBoxLayout(ui.Picture2);
    bottom->setContentsMargins(6, 0, 6, 0);
    bottom->addWidget(ui.Label2);

    ui.Text1 = new ExportTextEdit(m_page, panel);
    ui.Text1->setObjectName(QStringLiteral("Text1"));
    ui.Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    ui.Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui.Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui.Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    connect(ui.Command1, &QPushButton::clicked, this, &ExportWindow::einfuegen);
    connect(ui.Command3, &QPushButton::clicked, this, &ExportWindow::undoPaste);
    connect(ui.Command2, &QPushButton::clicked, this, &ExportWindow::speichern);
    connect(ui.Text1, &QPlainTextEdit::textChanged, this, &ExportWindow::onTextChanged);
    connect(ui.Text1->document(), &QTextDocument::contentsChange, this, &ExportWindow::onContentsChange);
}

void ExportWindow::createEditMenu()
{
    ui.mnuEditTop = menuBar()->addMenu(QStringLiteral("&Edit"));
    ui.mnuEditTop->setObjectName(QStringLiteral("mnuEditTop"));
    const QString captions[] = {QStringLiteral("&Undo"),  QString(),
                                QStringLiteral("Cu&t"),   QStringLiteral("&Copy"),
                                QStringLiteral("&Paste"), QStringLiteral("&Delete")};
    const QKeySequence keys[] = {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(),
                                 QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_C),
                                 QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::Key_Delete)};
    for (int i = 0; i < 6; ++i) {
        QAction* action = i == 1 ? ui.mnuEditTop->addSeparator() : ui.mnuEditTop->addAction(captions[i]);
        action->setObjectName(QStringLiteral("mnuEdit_%1").arg(i));
        action->setShortcut(keys[i]);
        ui.mnuEdit[i] = action;
    }
    connect(ui.mnuEdit[0], &QAction::triggered, this, [this] { m_edit.Undo(); });
    connect(ui.mnuEdit[2], &QAction::triggered, this, [this] { m_edit.Cut(); });
    connect(ui.mnuEdit[3], &QAction::triggered, this, [this] { m_edit.Copy(); });
    connect(ui.mnuEdit[4], &QAction::triggered, this, [this] { m_edit.Paste(); });
    connect(ui.mnuEdit[5], &QAction::triggered, this, [this] { m_edit.Delete(true); });
    connect(ui.mnuEditTop, &QMenu::aboutToShow, this, &ExportWindow::updateEditMenu);
}

void ExportWindow::updateEditMenu()
{
    ui.mnuEdit[0]->setEnabled(m_edit.CanUndo());
    ui.mnuEdit[2]->setEnabled(m_edit.CanCut());
    ui.mnuEdit[3]->setEnabled(m_edit.CanCopy());
    ui.mnuEdit[4]->setEnabled(m_edit.CanPaste());
    ui.mnuEdit[5]->setEnabled(m_edit.CanCut());
}

bool ExportWindow::loadFile(const QString& path)
{
    QFile file(path);
    const bool read = file.open(QIODevice::ReadOnly);
    showPage(path, read ? file.readAll() : QByteArray());
    if (!read)
        warn(this, readFailedMessage(path));
    return read;
}

void ExportWindow::loadUnsaved(const QString& path, const QByteArray& bytes)
{
    showPage(path, bytes);
    ui.Text1->document()->setModified(true);
}

void ExportWindow::showPage(const QString& path, const QByteArray& bytes)
{
    m_tag = path;
    ui.Label2->setText(fileNameOf(m_tag));
    m_gespeichert = false;
    m_corsorPos = 0;
    const QString shown = m_page.load(bytes);
    m_filling = true;
    ui.Text1->setPlainText(shown);
    m_filling = false;
    countAllBlocks(shown, QLatin1Char('\n'));
    onTextChanged();
    updateEditMenu();
}

QString ExportWindow::pageText() const
{
    return m_page.pageText(ui.Text1->document()->toRawText());
}

qsizetype ExportWindow::pageLength() const
{
    if (m_page.usesMarkers())
        return m_markedLength;
    const QTextDocument* document = ui.Text1->document();
    return m_page.pageLength(document->characterCount() - 1, document->blockCount() - 1);
}

// `text` is the document's text with its paragraphs ending in `separator`.
void ExportWindow::countAllBlocks(QStringView text, QChar separator)
{
    m_blockLengths.clear();
    m_markedLength = 0;
    if (!m_page.usesMarkers())
        return;
    m_blockLengths = m_page.blockLengths(text, separator);
    for (const qsizetype length : m_blockLengths)
        m_markedLength += length;
}

// Only the paragraphs from `position` to `position + added` differ from
// before; the rest keep their counts (those behind move by the number of
// paragraphs gained or lost).
void ExportWindow::onContentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed)
    if (m_filling || !m_page.usesMarkers())
        return;
    const QTextDocument* document = ui.Text1->document();
    const QTextBlock first = document->findBlock(position);
    QTextBlock last = document->findBlock(position + added);
    if (!last.isValid())
        last = document->lastBlock();
    const qsizetype changed = qsizetype(last.blockNumber()) - first.blockNumber() + 1;
    const qsizetype replaced = changed - (document->blockCount() - qsizetype(m_blockLengths.size()));
    constexpr qsizetype kManyBlocks = 512;
    if (!first.isValid() || replaced < 1 || first.blockNumber() + replaced > qsizetype(m_blockLengths.size()) ||
        changed > kManyBlocks) {
        countAllBlocks(document->toRawText(), QChar(0x2029));
        return;
    }
    std::vector<qsizetype> lengths;
    lengths.reserve(changed);
    for (QTextBlock block = first;; block = block.next()) {
        lengths.push_back(m_page.blockLength(block.text(), block.next().isValid()));
        if (block == last)
            break;
    }
    const auto at = m_blockLengths.begin() + first.blockNumber();
    for (auto it = at; it != at + replaced; ++it)
        m_markedLength -= *it;
    for (const qsizetype length : lengths)
        m_markedLength += length;
    if (replaced == changed) {
        std::copy(lengths.begin(), lengths.end(), at);
    } else {
        const auto next = m_blockLengths.erase(at, at + replaced);
        m_blockLengths.insert(next, lengths.begin(), lengths.end());
    }
}

QString ExportWindow::formatCount(qsizetype count, const QLocale& locale)
{
    const QString digits = QString::number(count).rightJustified(3, QLatin1Char('0'));
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += locale.groupSeparator();
        grouped += digits[i];
    }
    return grouped;
}

void ExportWindow::onTextChanged()
{
    if (m_filling)
        return;
    m_gespeichert = false;
    ui.Label2->setText(tr("File= %1  Size: %2 Byte").arg(fileNameOf(m_tag), formatCount(pageLength(), QLocale())));
}

void ExportWindow::einfuegen()
{
    static_cast<ExportTextEdit*>(ui.Text1)->keepLineEndMarker();
    m_corsorPos = ui.Text1->textCursor().selectionStart();
    const QString inserted = QGuiApplication::clipboard()->text();
    m_edit.Paste();
    // The widget keeps one break for each CR LF, so the pasted stretch is
    // selected by its positions, not by the clipboard's length.
    const int end = ui.Text1->textCursor().position();
    QTextCursor cursor = ui.Text1->textCursor();
    cursor.setPosition(m_corsorPos);
    if (pageLength() + inserted.size() < kSelectLimit) {
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        ui.Text1->setTextCursor(cursor);
        ui.Text1->setFocus();
    } else {
        ui.Text1->setTextCursor(cursor);
    }
}

void ExportWindow::undoPaste()
{
    m_edit.Undo();
    QTextCursor cursor = ui.Text1->textCursor();
    cursor.setPosition(std::clamp(m_corsorPos, 0, ui.Text1->document()->characterCount() - 1));
    ui.Text1->setTextCursor(cursor);
    ui.Text1->setFocus();
}

bool ExportWindow::speichern()
{
    QString folder = folderOf(m_tag);
    const QString name = showSaveDialog(this, tr("HTML-Datei speichern unter..."), folder, m_tag,
                                        tr("HTML-Datei (*.html)|*.html"), QStringLiteral("*.html"));
    if (name.isEmpty())
        return false;
    const QString target = withTrailingSeparator(folder) + name;
    const QString failed = replaceFiles({{target, m_page.save(ui.Text1->document()->toRawText())}});
    if (!failed.isEmpty()) {
        warn(this, saveFailedMessage(failed));
        return false;
    }
    m_gespeichert = true;
    return true;
}

namespace {
QString unsavedQuestion()
{
    return QCoreApplication::translate("korvane::ExportWindow",
                                       "Der HTML-Code wurde noch nicht gespeichert. Soll der Code jetzt gespeichert "
                                       "werden?");
}
} // namespace

bool ExportWindow::offerToSaveEdits()
{
    if (!isVisible() || m_gespeichert || !ui.Text1->document()->isModified())
        return true;
    const MessageButton answer = askYesNoCancel(this, kQuestionTitle, unsavedQuestion());
    if (answer == MessageButton::No)
        return true;
    return answer == MessageButton::Yes && speichern();
}

void ExportWindow::closeEvent(QCloseEvent* event)
{
    if (!ui.Text1->document()->isEmpty() && !m_gespeichert) {
        const MessageButton answer = askYesNoCancel(this, kQuestionTitle, unsavedQuestion());
        if (answer != MessageButton::No) {
            // Yes saves and stays open; "Abbrechen" leaves the page as it is.
            event->ignore();
            if (answer == MessageButton::Yes)
                speichern();
            return;
        }
    }
    event->accept();
    discardText();
}

// A closed window gives up its page; the next export loads a new one.
void ExportWindow::discardText()
{
    ui.Text1->clear();
    m_page = PageText();
    countAllBlocks({}, QChar());
    m_gespeichert = false;
}

int ExportWindow::pixels(int twips) const
{
    const double twipsPerPixel = 1440.0 / std::max(1, logicalDpiY());
    return qRound(twips / twipsPerPixel);
}

// Text1 is 300 twips narrower than the window and as high as the window less
// both bars and 1,000 twips; a size that would be negative is not applied.
void ExportWindow::arrange()
{
    if (!ui.Text1)
        return;
    const QWidget* panel = centralWidget();
    const int width = panel->width();
    const int height = panel->height();
    ui.Picture1->setGeometry(0, 0, width, kTopBarHeight);
    ui.Picture2->setGeometry(0, height - kBottomBarHeight, width, kBottomBarHeight);
    const int textWidth = frameGeometry().width() - pixels(300);
    const int textHeight = frameGeometry().height() - kTopBarHeight - kBottomBarHeight - pixels(1000);
    const int room = height - kTopBarHeight - kBottomBarHeight;
    QRect text = ui.Text1->geometry();
    if (textWidth >= 0) {
        text.setLeft(std::max(0, (width - textWidth) / 2));
        text.setWidth(std::min(textWidth, width));
    }
    if (textHeight >= 0) {
        text.setTop(kTopBarHeight);
        text.setHeight(std::min(textHeight, std::max(0, room)));
    }
    ui.Text1->setGeometry(text);
}

} // namespace korvane
