#include "model/Paths.h"

#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList kInstalled = {"bin/korvane",
                                "share/applications/korvane.desktop",
                                "share/icons/hicolor/256x256/apps/korvane.png",
                                "share/icons/hicolor/48x48/apps/korvane.png",
                                "share/icons/hicolor/scalable/apps/korvane.svg",
                                "share/korvane/korvane-hilfe.html",
                                "share/metainfo/org.korvane.Korvane.metainfo.xml",
                                "share/mime/packages/korvane.xml"};

struct Run {
    int exitCode = -1;
    QString output; // standard output and error
};

Run run(const QString& program, const QStringList& arguments, const QString& folder = QString())
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    Run result;
    if (process.waitForFinished(240000) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

QStringList filesUnder(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
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
    const Run install = run(QStringLiteral(CMAKE_COMMAND), {"--install", KORVANE_BUILD_DIR, "--prefix", prefix.path()});
    QVERIFY2(install.exitCode == 0, qPrintable(install.output));
    QCOMPARE(filesUnder(prefix.path()), kInstalled);

    const QString bin = prefix.filePath("bin");
    QCOMPARE(korvane::helpDocumentFor(bin), prefix.filePath("share/korvane/korvane-hilfe.html"));
    const Run version = run(prefix.filePath("bin/korvane"), {"--version"});
    QCOMPARE(version.output, QStringLiteral("Korvane 1.0\n"));
    for (int size : {48, 256}) {
        const QImage icon(prefix.filePath(QStringLiteral("share/icons/hicolor/%1x%1/apps/korvane.png").arg(size)));
        QCOMPARE(icon.size(), QSize(size, size));
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);                 // a transparent corner
        QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255); // the drawing
    }

    const Run desktop = run("desktop-file-validate", {prefix.filePath("share/applications/korvane.desktop")});
    QVERIFY2(desktop.exitCode == 0 && desktop.output.isEmpty(), qPrintable(desktop.output));
    const Run metainfo = run(
        "appstreamcli", {"validate", "--no-net", prefix.filePath("share/metainfo/org.korvane.Korvane.metainfo.xml")});
    QVERIFY2(metainfo.exitCode == 0, qPrintable(metainfo.output));
}

void TestPackage::debianPackage()
{
    QTemporaryDir out;
    const Run cpack =
        run(QStringLiteral(CPACK_COMMAND),
            {"-G", "DEB", "--config", KORVANE_BUILD_DIR "/CPackConfig.cmake", "-B", out.path()}, out.path());
    QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
    const QString deb = out.filePath("korvane_1.0_amd64.deb");
    QVERIFY2(QFile::exists(deb), qPrintable(cpack.output));

    const Run contents = run("dpkg-deb", {"--contents", deb});
    QStringList files;
    for (const QString& line : contents.output.split('\n', Qt::SkipEmptyParts))
        if (!line.endsWith('/'))
            files << line.section(' ', -1).remove(0, 6); // "./usr/bin/korvane" -> "bin/korvane"
    files.sort();
    QCOMPARE(files, kInstalled);

    QCOMPARE(run("dpkg-deb", {"--field", deb, "Package", "Version", "Architecture"}).output,
             QStringLiteral("Package: korvane\nVersion: 1.0\nArchitecture: amd64\n"));
    // Library dependencies with the versions dpkg-shlibdeps read from the program.
    const QString depends = run("dpkg-deb", {"--field", deb, "Depends"}).output;
    for (const char* library : {"libc6 (>= ", "libstdc++6 (>= ", "libqt6core6 (>= 6", "libqt6gui6 (>= 6",
                                "libqt6widgets6 (>= 6", "libqt6svg6 (>= 6", "qt6-image-formats-plugins"})
        QVERIFY2(depends.contains(QLatin1String(library)), qPrintable(depends));
}

QTEST_MAIN(TestPackage)
#include "tst_package.moc"
