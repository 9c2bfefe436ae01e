// The header templates and build scripts we ship: present where the program
// says they are, in the right form, and the scripts do what they promise.

#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestShippedData : public QObject
{
    Q_OBJECT

private slots:
    void templates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("identifier");
        QTest::newRow("ion") << "ion.txt" << QByteArray("jr nc,start");
        QTest::newRow("mirage") << "mirage.txt" << QByteArray(".db 1 ");
        QTest::newRow("tse") << "tse.txt" << QByteArray(".db \"TSE\",1");
        QTest::newRow("ti83plus") << "ti83plus.txt" << QByteArray(".org $9D93");
    }

    void templates()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, identifier);
        const QByteArray text = readAll(QString(TARNELL_DATA_DIR) + '/' + name);
        QVERIFY(!text.isEmpty());
        QCOMPARE(text, readAll(QString(TARNELL_SOURCE_DIR) + "/data/templates/" + name));
        QVERIFY(text.endsWith("\r\n"));
        QCOMPARE(text.count('\n'), text.count("\r\n"));
        QCOMPARE(text.count('\r'), text.count("\r\n"));
        QVERIFY(text.contains(".db $BB,$6D"));
        QVERIFY2(text.contains(identifier), identifier.constData());
        QVERIFY(text.contains("\r\nstart:"));
    }

    void scriptsBuildWithSpasm_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("assembled");
        QTest::newRow("asm.bat") << "asm.bat" << "hello" << QByteArray("hello.z80\nhello.8xp\n");
        QTest::newRow("mirage.bat") << "mirage.bat" << "my prog.asm" << QByteArray("my prog.asm\nmy prog.8xp\n");
        QTest::newRow("tse.bat") << "tse.bat" << "$(touch pwned)" << QByteArray("$(touch pwned).z80\n$(touch pwned).8xp\n");
    }

    // Each script hands the source to spasm when spasm is on PATH.
    void scriptsBuildWithSpasm()
    {
        QFETCH(QString, script);
        QFETCH(QString, typed);
        QFETCH(QByteArray, assembled);
        QTemporaryDir work;
        QFile source(work.filePath(typed.contains('.') ? typed : typed + ".z80"));
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.close();
        QFile spasm(work.filePath("bin/spasm"));
        QVERIFY(QDir(work.path()).mkdir("bin"));
        QVERIFY(spasm.open(QIODevice::WriteOnly));
        spasm.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > spasm-args\n");
        spasm.close();
        spasm.setPermissions(spasm.permissions() | QFile::ExeOwner);

        QProcess run;
        run.setWorkingDirectory(work.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", work.filePath("bin") + ":/usr/bin:/bin");
        run.setProcessEnvironment(environment);
        run.start("/bin/sh", {QString(TARNELL_DATA_DIR) + '/' + script, typed});
        run.closeWriteChannel();
        QVERIFY(run.waitForFinished());
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(readAll(work.filePath("spasm-args")), assembled);
        QVERIFY(!QFile::exists(work.filePath("pwned")));
    }

    void scriptsExplainWithoutSpasm()
    {
        QTemporaryDir work;
        QProcess run;
        run.setWorkingDirectory(work.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", "/usr/bin:/bin"); // where spasm is not
        run.setProcessEnvironment(environment);
        run.start("/bin/sh", {QString(TARNELL_DATA_DIR) + "/mirage.bat", "hello"});
        run.write("\n");
        run.closeWriteChannel();
        QVERIFY(run.waitForFinished());
        QVERIFY(run.exitCode() != 0);
        const QByteArray said = run.readAllStandardOutput();
        QVERIFY2(said.contains("spasm") && said.contains("mirage.inc"), said.constData());
    }
};

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shipped_data.moc"
