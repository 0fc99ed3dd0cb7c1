#include "simmodem.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

namespace {

const QString Key = QStringLiteral("k3y-of-site7");

// Five tasks on three modems: a check on the first, two applies and a read on the second, an
// apply on the third, which is silent.
const char *const Playbook = R"(
- hosts: localhost
  gather_facts: false
  module_defaults:
    dr58_radio: {dr58ctl: "{{ dr58ctl }}"}
  vars:
    wanted: {S104: 424242, S160: "{{ key }}"}
  tasks:
    - {dr58_radio: {port: "{{ ports[0] }}", values: "{{ wanted }}"}, register: check,
       check_mode: true, diff: true}
    - {dr58_radio: {port: "{{ ports[1] }}", values: "{{ wanted }}"}, register: apply, diff: true}
    - {dr58_radio: {port: "{{ ports[1] }}", values: "{{ wanted }}"}, register: again, diff: true}
    - {dr58_radio: {port: "{{ ports[1] }}", state: read}, register: values}
    - {dr58_radio: {port: "{{ ports[2] }}", values: "{{ wanted }}"}, register: silent,
       ignore_errors: true}
    - copy:
        dest: "{{ results }}"
        content: "{{ dict(check=check, apply=apply, again=again, read=values, silent=silent)
                     | to_json }}"
)";

// A backup, then an upgrade keeping the settings followed by a write.
const char *const UpgradePlaybook = R"(
- hosts: localhost
  gather_facts: false
  module_defaults:
    dr58_radio: {dr58ctl: "{{ dr58ctl }}", port: "{{ ports[0] }}"}
  tasks:
    - {dr58_radio: {state: backup, backup_dir: "{{ dir }}/backups"}, register: backup}
    - dr58_radio: {firmware: "{{ dir }}/new.stz", keep_settings: true,
                   backup_dir: "{{ dir }}/kept", values: {S104: 424242}}
      register: upgrade
    - copy: {dest: "{{ results }}", content: "{{ dict(backup=backup, upgrade=upgrade) | to_json }}"}
)";

} // namespace

// The module as a playbook uses it: Debian's ansible-playbook on localhost (connection local),
// the module from the source tree, dr58ctl from this build, simulated modems on pseudo-terminals.
class AnsibleTest : public QObject
{
    Q_OBJECT
    std::vector<std::unique_ptr<SimModem>> m_modems;
    QTemporaryDir m_dir;

    // The registered results by task, and what ansible-playbook printed.
    QPair<QJsonObject, QString> play(const char *playbook, const QStringList &ports)
    {
        const QString program = QStandardPaths::findExecutable("ansible-playbook");
        if (program.isEmpty())
            qFatal("ansible-playbook is missing: install ansible-core (tools/setup.sh does)");
        QFile book(m_dir.filePath("play.yml"));
        if (!book.open(QIODevice::WriteOnly) || book.write(playbook) < 0)
            qFatal("cannot write the playbook");
        book.close();
        const QString resultsPath = m_dir.filePath("results.json");
        const QJsonObject vars{{"dr58ctl", DR58CTL_PATH},
                               {"key", Key},
                               {"ports", QJsonArray::fromStringList(ports)},
                               {"results", resultsPath},
                               {"dir", m_dir.path()},
                               {"ansible_python_interpreter", "/usr/bin/python3"}};
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ANSIBLE_LIBRARY", MODULE_DIR);
        environment.insert("ANSIBLE_LOCAL_TEMP", m_dir.filePath("local"));
        environment.insert("ANSIBLE_REMOTE_TEMP", m_dir.filePath("remote"));
        environment.insert("ANSIBLE_NOCOLOR", "1");
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program,
                      {"-i", "localhost,", "-c", "local", "-e",
                       QJsonDocument(vars).toJson(QJsonDocument::Compact), book.fileName()});
        if (!process.waitForFinished(120000))
            qFatal("ansible-playbook did not finish");
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        QFile results(resultsPath);
        if (!results.open(QIODevice::ReadOnly))
            qFatal("no results from ansible-playbook: %s%s", qPrintable(out),
                   process.readAllStandardError().constData());
        return {QJsonDocument::fromJson(results.readAll()).object(), out};
    }

private slots:
    void checkApplyReadAndFail()
    {
        QStringList ports;
        for (int i = 0; i < 3; ++i) {
            m_modems.push_back(std::make_unique<SimModem>());
            QVERIFY(m_modems.back()->start());
            ports << m_modems.back()->portName();
        }
        SimModem &checked = *m_modems[0];
        SimModem &applied = *m_modems[1];
        applied.setIdentity(SimModem::Identity::SerialNumber, "5821A0419017");
        m_modems[2]->setFault(SimModem::Fault::Silent);
        const QString before = applied.registerValue("S104");

        const auto [results, printed] = play(Playbook, ports);

        const QJsonObject check = results["check"].toObject();
        QCOMPARE(check["changed"].toBool(), true);
        QCOMPARE(check["differences"].toArray(), QJsonArray({"S104", "S160"}));
        QCOMPARE(check["written"].toArray(), QJsonArray());
        QCOMPARE(check["report"]["command"].toString(), "diff");
        QCOMPARE(checked.received(), QByteArray("+++\rAT&V\rATS160?\rATS244?\rATS221?\rATS220?"
                                                "\rATS143?\r\rATA\r"));

        const QJsonObject apply = results["apply"].toObject();
        QCOMPARE(apply["changed"].toBool(), true);
        QCOMPARE(apply["written"].toArray(), QJsonArray({"S104", "S160"}));
        QCOMPARE(apply["diff"]["before"].toString(), "S104=" + before + "\nS160=********\n");
        QCOMPARE(apply["diff"]["after"].toString(),
                 QString("S104=424242\nS160=******** (new key)\n"));
        QCOMPARE(apply["identity"]["I4"].toString(), "5821A0419017");
        QCOMPARE(apply["report"]["result"].toString(), "applied");
        QCOMPARE(applied.storedValue("S104"), QString("424242"));
        QCOMPARE(applied.storedValue("S160"), Key);
        QVERIFY(!QJsonDocument(apply).toJson().contains(Key.toUtf8()));
        QVERIFY2(printed.contains("--- before: " + ports[1] + "\n+++ after: " + ports[1] +
                                  "\n@@ -1,2 +1,2 @@\n-S104=" + before +
                                  "\n-S160=********\n+S104=424242\n+S160=******** (new key)\n"),
                 qPrintable(printed));
        QVERIFY(!printed.contains(Key));

        const QJsonObject again = results["again"].toObject();
        QCOMPARE(again["changed"].toBool(), false);
        QCOMPARE(again["written"].toArray(), QJsonArray());
        QVERIFY(!again.contains("diff"));

        const QJsonObject values = results["read"]["values"].toObject();
        QCOMPARE(values["S104"].toString(), "424242");
        QCOMPARE(values["S160"].toString(), "********");
        QCOMPARE(values.size(), 20);
        QCOMPARE(results["read"]["changed"].toBool(), false);

        const QJsonObject silent = results["silent"].toObject();
        QCOMPARE(silent["failed"].toBool(), true);
        QCOMPARE(silent["rc"].toInt(), 7);
        QCOMPARE(silent["msg"].toString(), "dr58ctl apply: no answer from the modem to \"+++\" "
                                           "(3 tries) or to \"ATS102?\"");
        QCOMPARE(silent["report"]["exit"].toInt(), 7);
    }

    // The backup and the upgrade that keeps the settings, once dr58ctl has them.
    void backupAndUpgradeKeepingSettings()
    {
        QProcess ctl;
        ctl.start(DR58CTL_PATH, {"backup", "--help"});
        QVERIFY(ctl.waitForFinished());
        if (ctl.exitCode() != 0)
            QSKIP("this dr58ctl has no backup command");
        SimModem modem;
        QVERIFY(modem.start());
        QByteArray image(4096, Qt::Uninitialized);
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i * 31 + 7); // never spells an AT string
        QFile firmware(m_dir.filePath("new.stz"));
        QVERIFY(firmware.open(QIODevice::WriteOnly) && firmware.write(image) == image.size());
        firmware.close();

        const QJsonObject results = play(UpgradePlaybook, {modem.portName()}).first;

        const QJsonObject backup = results["backup"].toObject();
        QCOMPARE(backup["changed"].toBool(), false);
        QCOMPARE(backup["report"]["command"].toString(), "backup");
        QCOMPARE(backup["report"]["exit"].toInt(), 0);
        QVERIFY(!QDir(m_dir.filePath("backups")).isEmpty());
        const QJsonObject upgrade = results["upgrade"].toObject();
        QCOMPARE(upgrade["changed"].toBool(), true);
        QCOMPARE(upgrade["reports"][0]["command"].toString(), "upgrade");
        QCOMPARE(upgrade["reports"][0]["firmware_sha256"].toString(),
                 QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex());
        QCOMPARE(upgrade["reports"][1]["command"].toString(), "apply");
        QCOMPARE(upgrade["written"].toArray(), QJsonArray({"S104"}));
        QCOMPARE(modem.image(), image);
        QCOMPARE(modem.storedValue("S104"), QString("424242"));
    }
};

QTEST_GUILESS_MAIN(AnsibleTest)
#include "tst_ansible.moc"
