// Where F1 finds the manual: the current folder first, then the program's
// own folder, then the installed data folder beside the program's.
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "qt/Documents.h"
#include "qt/QtPlatform.h"

using namespace kelmor;

namespace {

const QString NAME = QStringLiteral("manual_kelmor_en.pdf");

void Touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("%PDF-1.4\n");
}

} // namespace

// Catches the desktop's "open this file" instead of starting a viewer.
class OpenedUrls : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> Urls;
  public slots:
    void Open(const QUrl& url) { Urls.append(url); }
};

class DocumentsTest : public QObject {
    Q_OBJECT

    QTemporaryDir Root;
    QString SavedCurrent;
    // A program installed as <root>/usr/bin/kelmor, run from <root>/work.
    QString Current() const { return Root.filePath(QStringLiteral("work")); }
    QString ProgramDir() const { return Root.filePath(QStringLiteral("usr/bin")); }
    QString Installed() const { return Root.filePath(QStringLiteral("usr/share/kelmor")); }

  private slots:
    void init() {
        QVERIFY(Root.isValid());
        QVERIFY(QDir().mkpath(Current()));
        QVERIFY(QDir().mkpath(ProgramDir()));
        SavedCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(Current()));
    }
    void cleanup() {
        QDir::setCurrent(SavedCurrent);
        QVERIFY(Root.remove());
        Root = QTemporaryDir();
    }

    void lookupOrder_data() {
        QTest::addColumn<QStringList>("present"); // folders that hold the manual
        QTest::addColumn<QString>("found");       // the one F1 opens; empty: none
        const QString cur = QStringLiteral("current"), prog = QStringLiteral("program"),
                      inst = QStringLiteral("installed");
        QTest::newRow("everywhere: current folder") << QStringList{cur, prog, inst} << cur;
        QTest::newRow("program and installed") << QStringList{prog, inst} << prog;
        QTest::newRow("only installed") << QStringList{inst} << inst;
        QTest::newRow("current and installed") << QStringList{cur, inst} << cur;
        QTest::newRow("nowhere") << QStringList{} << QString();
    }
    void lookupOrder() {
        QFETCH(QStringList, present);
        QFETCH(QString, found);
        const QMap<QString, QString> folders{{QStringLiteral("current"), Current()},
                                             {QStringLiteral("program"), ProgramDir()},
                                             {QStringLiteral("installed"), Installed()}};
        for (const QString& where : present)
            Touch(folders[where] + QLatin1Char('/') + NAME);
        const QString expected =
            found.isEmpty() ? QString() : QDir(folders[found]).absoluteFilePath(NAME);
        QCOMPARE(FindDocument(NAME, DocumentFolders(ProgramDir())), expected);
    }

    // A folder of the manual's name is no manual; the next place is looked at.
    void folderOfTheSameNameIsSkipped() {
        QVERIFY(QDir().mkpath(Current() + QLatin1Char('/') + NAME));
        Touch(Installed() + QLatin1Char('/') + NAME);
        QCOMPARE(FindDocument(NAME, DocumentFolders(ProgramDir())),
                 QDir(Installed()).absoluteFilePath(NAME));
    }

    // The platform hands the desktop the file found, or reports failure.
    void openDocumentOpensWhatIsFound() {
        OpenedUrls opened;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "Open");
        QtPlatform platform;
        QVERIFY(!platform.OpenDocument(NAME.toStdString()));
        QVERIFY(opened.Urls.isEmpty());
        Touch(Current() + QLatin1Char('/') + NAME);
        QVERIFY(platform.OpenDocument(NAME.toStdString()));
        QCOMPARE(opened.Urls,
                 QList<QUrl>{QUrl::fromLocalFile(QDir(Current()).absoluteFilePath(NAME))});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    // The build puts all four manuals beside the program, where a run from
    // the build tree finds them whatever its current folder.
    void buildTreeHoldsTheManuals() {
        for (const char* lang : {"en", "de", "fr", "cz"}) {
            const QString name = QStringLiteral("manual_kelmor_%1.pdf").arg(QLatin1String(lang));
            const QString path =
                FindDocument(name, DocumentFolders(QStringLiteral(KELMOR_PROGRAM_DIR)));
            QCOMPARE(path, QDir(QStringLiteral(KELMOR_PROGRAM_DIR)).absoluteFilePath(name));
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.read(5), QByteArray("%PDF-"));
        }
    }
};

QTEST_MAIN(DocumentsTest)
#include "DocumentsTest.moc"
