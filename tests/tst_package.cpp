#include "model/Paths.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList kInstalled = {"bin/korvane",
                                "share/applications/korvane.desktop",
                                "share/icons/hicolor/256x256/apps/korvane.png",
                                "share/icons/hicolor/48x48/apps/korvane.png",
                                "share/icons/hicolor/scalable/apps/korvane.svg",
                                "share/korvane/korvane-help.html",
                                "share/korvane/korvane-hilfe.html",
                                "share/korvane/korvane-imagemap.schema.json",
                                "share/metainfo/org.korvane.Korvane.metainfo.xml",
                                "share/mime/packages/korvane.xml"};

// Runs a program to its end; its exit code (-1 when it did not end normally) and output.
std::pair<int, QString> run(const QString& program, const QStringList& arguments, const QString& folder = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(240000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, QString::fromUtf8(process.readAll())};
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT
private slots:
    void installedTree();
    void debianPackage();
};

void TestPackage::installedTree()
{
    QTemporaryDir prefix;
    const auto [installed, log] = run(CMAKE_COMMAND, {"--install", KORVANE_BUILD_DIR, "--prefix", prefix.path()});
    QVERIFY2(installed == 0, qPrintable(log));
    QStringList files;
    for (QDirIterator it(prefix.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << QDir(prefix.path()).relativeFilePath(it.next());
    files.sort();
    QCOMPARE(files, kInstalled);

    QCOMPARE(korvane::helpDocumentFor(prefix.filePath("bin")), prefix.filePath("share/korvane/korvane-hilfe.html"));
    // What the help documents link to beside them is installed with them; their anchors are theirs.
    for (const char* help : {"korvane-hilfe.html", "korvane-help.html"}) {
        QFile file(prefix.filePath(QStringLiteral("share/korvane/") + help));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QStringList missing;
        const QRegularExpression links(QStringLiteral("href=\"([^\"]*)\""));
        for (const QRegularExpressionMatch& link : links.globalMatch(text)) {
            const QString target = link.captured(1);
            const bool found = target.startsWith(u'#')
                                   ? text.contains(QStringLiteral("id=\"") + target.mid(1) + u'"')
                                   : QFile::exists(prefix.filePath(QStringLiteral("share/korvane/") + target));
            if (!found)
                missing << target;
        }
        QCOMPARE(missing, QStringList());
        QVERIFY(text.contains(R"(href="korvane-imagemap.schema.json")"));
    }
    QCOMPARE(run(prefix.filePath("bin/korvane"), {"--version"}), std::make_pair(0, QString("Korvane 1.0\n")));
    for (int size : {48, 256}) {
        const QImage icon(prefix.filePath(QStringLiteral("share/icons/hicolor/%1x%1/apps/korvane.png").arg(size)));
        QCOMPARE(icon.size(), QSize(size, size));
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);                 // a transparent corner
        QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255); // the drawing
    }
    QCOMPARE(run("desktop-file-validate", {prefix.filePath("share/applications/korvane.desktop")}),
             std::make_pair(0, QString()));
    const auto [valid, report] = run(
        "appstreamcli", {"validate", "--no-net", prefix.filePath("share/metainfo/org.korvane.Korvane.metainfo.xml")});
    QVERIFY2(valid == 0, qPrintable(report));
}

void TestPackage::debianPackage()
{
    QTemporaryDir out;
    const auto [built, log] = run(
        CPACK_COMMAND, {"-G", "DEB", "--config", KORVANE_BUILD_DIR "/CPackConfig.cmake", "-B", out.path()}, out.path());
    const QString deb = out.filePath("korvane_1.0_amd64.deb");
    QVERIFY2(built == 0 && QFile::exists(deb), qPrintable(log));

    QStringList files;
    for (const QString& line : run("dpkg-deb", {"--contents", deb}).second.split('\n', Qt::SkipEmptyParts))
        if (!line.endsWith('/'))
            files << line.section(' ', -1).remove(0, 6); // "./usr/bin/korvane" -> "bin/korvane"
    files.sort();
    QCOMPARE(files, kInstalled);
    QCOMPARE(run("dpkg-deb", {"--field", deb, "Package", "Version", "Architecture"}).second,
             QStringLiteral("Package: korvane\nVersion: 1.0\nArchitecture: amd64\n"));
    // Library dependencies with the versions dpkg-shlibdeps read from the program.
    const QString depends = run("dpkg-deb", {"--field", deb, "Depends"}).second;
    for (const char* library : {"libc6 (>= ", "libstdc++6 (>= ", "libqt6core6 (>= 6", "libqt6gui6 (>= 6",
                                "libqt6widgets6 (>= 6", "libqt6svg6 (>= 6", "libopencv-imgproc4", "libopencv-core4",
                                "qt6-image-formats-plugins", "qt6-wayland"})
        QVERIFY2(depends.contains(QLatin1String(library)), qPrintable(depends));
}

QTEST_MAIN(TestPackage)
#include "tst_package.moc"
