// The program under a real decimal-comma locale (German, built for the run
// with localedef): what machines read is the same in every locale, what the
// window shows keeps the C conventions of its formats, and the edits group
// digits as the user's locale does.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "WindowHarness.h"
#include "link/MonitorCsv.h"
#include "qt/KelmorApplication.h"
#include "qt/Pictures.h"
#include "sim/SimSerialPort.h"
#include "storage/IgnFile.h"
#include "storage/IniFile.h"
#include "storage/StartupImage.h"
#include "support/TestFiles.h"

using namespace kelmor;
using namespace kelmor::test;
using C = ControlId;

namespace {

constexpr const char* LOCALE = "de_DE.UTF-8";
// Why the locale could not be made, when it could not.
std::string LocaleProblem;
std::unique_ptr<TempFolder> LocaleFolder;

// Builds the German locale into a folder of its own and makes it the
// process's, as a German desktop would start the program.
void UseGermanLocale() {
    LocaleFolder = std::make_unique<TempFolder>();
    if (LocaleFolder->Path().empty()) {
        LocaleProblem = "no temporary folder";
        return;
    }
    const std::string locale = LocaleFolder->File(LOCALE);
    const std::string command = "localedef -c -i de_DE -f UTF-8 " + locale + " >/dev/null 2>&1";
    [[maybe_unused]] const int rc = std::system(command.c_str());
    if (!QFile::exists(QString::fromStdString(locale + "/LC_NUMERIC"))) {
        LocaleProblem = "localedef could not build de_DE.UTF-8 (package locales with its "
                        "sources in /usr/share/i18n missing?)";
        return;
    }
    ::setenv("LOCPATH", LocaleFolder->Path().c_str(), 1);
    ::setenv("LC_ALL", LOCALE, 1);
    ::unsetenv("LANGUAGE");
}

// A monitor frame with a voltage that has three decimals.
TMonitorData Frame(uint16_t millivolts) {
    TMonitorData m{};
    m.Bytes[0] = CMD_MONITOR_REPLY;
    m.Bytes[3] = static_cast<uint8_t>(millivolts & 0xFF);
    m.Bytes[4] = static_cast<uint8_t>(millivolts >> 8);
    m.Bytes[50] = PC_VERSION;
    return m;
}

// Everything the program writes for machines, from one set and one frame.
std::string MachineTexts() {
    std::string all;
    char line[320];
    for (int mv : {0, 7, 13284, 65535}) {
        const size_t n = FormatMonitorCsv(Frame(static_cast<uint16_t>(mv)), 330, line, sizeof line);
        all.append(line, n);
    }
    TDeviceImage image{};
    SetDefaults(image.Params);
    all += WriteIgnFile(image.Params);
    all += WriteStartupImage(ConstImageBytes(image.Bytes(), STARTUP_IMAGE_SIZE));
    IniFile ini;
    ini.WriteInteger("FORM_HLAV", "Left", -12);
    ini.WriteInteger("FORM_HLAV", "Width", 936);
    all += ini.Text();
    return all;
}

int Fields(const QString& line) {
    return static_cast<int>(line.count(u',')) + 1;
}

} // namespace

class LocaleTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir Dir;

    void NeedLocale() {
        if (!LocaleProblem.empty()) QSKIP(LocaleProblem.c_str());
    }

  private slots:
    void initTestCase() {
        InitPictures();
        QVERIFY(Dir.isValid());
        qputenv("XDG_CONFIG_HOME", Dir.path().toLocal8Bit());
    }

    // The locale is real: people's numbers have a decimal comma, the C
    // library's stay with the point once the application object is made.
    void theUsersLocaleIsInForce() {
        NeedLocale();
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
        QCOMPARE(QtPlatform::LocaleGroupSeparator(), std::string("."));
        QCOMPARE(std::string(std::setlocale(LC_NUMERIC, nullptr)), std::string("C"));
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 13.4);
        QCOMPARE(std::string(text), std::string("13.4"));
    }

    // Even with the C library's numbers in German, every file and log line
    // comes out byte for byte as in the C locale, and the voltage caption
    // keeps its point.
    void machineTextsDoNotDependOnTheLocale() {
        NeedLocale();
        const std::string inC = MachineTexts();
        QVERIFY(inC.find("13.284,") != std::string::npos);
        QVERIFY(inC.find(",0.007,") != std::string::npos);
        QVERIFY(std::setlocale(LC_NUMERIC, LOCALE) != nullptr);
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 13.4);
        const std::string comma(probe);
        const std::string inGerman = MachineTexts();

        QTemporaryDir dir;
        Harness h(dir.path());
        TLinkFrame frame;
        BuildFrame(frame, CMD_MONITOR_REPLY, Frame(13284).Bytes + 1);
        std::memcpy(h.Form.RxBuffer.data(), frame.Bytes.data(), FRAME_SIZE);
        h.Form.HandleMonitorFrame();
        const std::string caption = h.S(C::LabelNapeti).Caption;
        std::setlocale(LC_NUMERIC, "C");

        QCOMPARE(comma, std::string("13,4")); // the fault would show
        QCOMPARE(inGerman, inC);
        QCOMPARE(caption, std::string("U = 13.3 [V]"));
    }

    // The window as the program starts it under the locale: grouping as the
    // user's, the voltage and the monitor log with a point.
    void theWindowUnderTheLocale() {
        NeedLocale();
        QTemporaryDir dir;
        auto unit = std::make_shared<SimUnit>();
        unit->Options().Engine.FixedMillivolts = 13284;
        Harness h(
            dir.path(), [unit](int) { return std::make_unique<SimSerialPort>(unit); },
            QtPlatform::LocaleGroupSeparator());
        QCOMPARE(h.Edit(C::EditOmez2)->text(), QStringLiteral("15.000"));
        h.Form.MenuLogClick();
        QVERIFY(h.Form.Log.Running());
        QTRY_VERIFY_WITH_TIMEOUT(h.Form.Log.Frames() >= 3, 5000);
        QCOMPARE(h.S(C::LabelNapeti).Caption, std::string("U = 13.3 [V]"));
        h.Form.MenuLogClick();
        QFile log(QString::fromStdString(h.Form.Log.Path()));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(log.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 4);
        QCOMPARE(lines[0] + QStringLiteral("\r\n"), QString::fromLatin1(MonitorCsvHeader()));
        for (int i = 1; i < lines.size(); ++i) {
            QCOMPARE(Fields(lines[i]), 30);
            QCOMPARE(lines[i].section(u',', 4, 4), QStringLiteral("13.284"));
        }
    }

    // The command-line tool on a pseudo-terminal (its Qt serial back end
    // takes the locale too): CSV and text lines keep their columns, and a
    // JSON report is the same as in the C locale.
    void theCommandLineToolUnderTheLocale() {
        NeedLocale();
#ifndef KELMOR_CLI
        QSKIP("kelmor-cli is not built");
#else
        const QString cli = QStringLiteral(KELMOR_CLI);
        const QString link = Dir.filePath(QStringLiteral("kx"));
        QProcess sim;
        sim.start(cli, {QStringLiteral("sim"), QStringLiteral("--link"), link,
                        QStringLiteral("--voltage"), QStringLiteral("13.284")});
        QVERIFY(sim.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(link), 5000);
        auto run = [&](const QStringList& args, const QProcessEnvironment& env) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(cli, args);
            [[maybe_unused]] const bool finished = p.waitForFinished(15000);
            return QString::fromUtf8(p.readAllStandardOutput());
        };
        const QProcessEnvironment german = QProcessEnvironment::systemEnvironment();
        const QString csv =
            run({QStringLiteral("monitor"), QStringLiteral("--port"), link, QStringLiteral("--csv"),
                 QStringLiteral("--count"), QStringLiteral("3")},
                german);
        const QString text = run({QStringLiteral("monitor"), QStringLiteral("--port"), link,
                                  QStringLiteral("--count"), QStringLiteral("2")},
                                 german);
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));

        const QStringList rows =
            csv.split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 4);
        for (const QString& row : rows)
            QVERIFY2(Fields(row) == 30, qPrintable(row));
        QCOMPARE(rows[1].section(u',', 4, 4), QStringLiteral("13.284"));
        const QStringList textRows = text.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(textRows.size(), 2);
        for (const QString& row : textRows)
            QVERIFY2(row.contains(QRegularExpression(
                         QStringLiteral(" voltage_v=13\\.284 programming_count=\\d+ "))),
                     qPrintable(row));

        // A report from a file, in German and in C.
        QFile ign(Dir.filePath(QStringLiteral("set.ign")));
        QVERIFY(ign.open(QIODevice::WriteOnly));
        TIgnParams p{};
        SetDefaults(p);
        ign.write(QByteArray::fromStdString(WriteIgnFile(p)));
        ign.close();
        QProcessEnvironment plain = german;
        plain.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        const QStringList show = {QStringLiteral("show"), ign.fileName(), QStringLiteral("--json")};
        const QString json = run(show, german);
        QVERIFY(!json.isEmpty());
        QCOMPARE(json, run(show, plain));
#endif
    }

    void cleanupTestCase() {
        LocaleFolder.reset();
    }
};

int main(int argc, char** argv) {
    // The locale first: the application object takes it from the environment.
    UseGermanLocale();
    if (!LocaleProblem.empty()) std::printf("SKIP: %s\n", LocaleProblem.c_str());
    KelmorApplication app(argc, argv);
    LocaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "LocaleTest.moc"
