// Replies of any length and content never crash the session and never leave it without a
// command to send: random bytes in every protocol state, also in the middle of a
// characterisation and a 3-axis cycle.
#include "tests/support/ProbeKit.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kit;
using probe::clsProbe;

namespace {

QByteArray RandomReply(QRandomGenerator& rng) {
    static const QByteArray prefixes[] = {":D", ":R", ":B", ":T", ":I", ":i", ":M", ":S", ":F",
                                          ":E", ":A", ":U", ":N", ":P", ":Z", "#Q", "#R", ""};
    // Short, medium, long or of a data reply's length.
    const int kind = rng.bounded(4);
    const int length = kind == 3 ? 19 : rng.bounded(std::array{4, 40, 700}[kind]);
    QByteArray reply(length, '\0');
    for (char& c : reply)
        c = char(rng.bounded(256));
    if (rng.bounded(3) != 0) {
        const QByteArray& prefix = prefixes[rng.bounded(int(std::size(prefixes)))];
        reply.replace(0, std::min<qsizetype>(prefix.size(), reply.size()), prefix);
    }
    return reply;
}

void CheckCommand(const clsProbe& s, const QByteArray& command) {
    QVERIFY(command.endsWith('\r'));
    const int length = s.GetRThreshold();
    QVERIFY2(length >= 3 && length <= 579, qPrintable(QString::number(length)));
    QVERIFY(s.GetTimerInterval() >= 1);
    QVERIFY(s.TypeZeta() >= 0 && s.TypeZeta() <= 3);
}

} // namespace

class FuzzTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void randomRepliesInEveryState_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("characterising");
        QTest::addColumn<bool>("threeAxis");
        QTest::newRow("sigma") << 0 << false << false;
        QTest::newRow("sigma, characterising") << 0 << true << false;
        QTest::newRow("sigma, 3-axis") << 0 << false << true;
        QTest::newRow("zeta") << 1 << false << false;
        QTest::newRow("identifying") << 2 << false << false;
        QTest::newRow("kappa") << 3 << false << false;
    }
    void randomRepliesInEveryState() {
        QFETCH(int, state);
        QFETCH(bool, characterising);
        QFETCH(bool, threeAxis);
        QRandomGenerator rng(0x5eed + state * 7 + characterising + 2 * threeAxis);
        for (int round = 0; round < 40; ++round) {
            RecordingHost host;
            clsProbe s(host);
            MiniSigma sigma(Px5100());
            if (threeAxis) s.SetMultiplexPrefered(1);
            if (state == 0) {
                auto d = Characterise(s, sigma);
                QVERIFY(d);
                if (characterising) {
                    d->run(5);
                    // Arm a new characterisation through the identifying range reply.
                    s.SetLostComm(1);
                    s.SetLostComm(0);
                    d->feed(":R2\r");
                    d->feed(":R2\r");
                    QVERIFY(s.InitState() >= 1);
                }
            } else {
                s.SetTypeZeta(state);
            }
            s.SetAutoRangeOn(rng.bounded(2));
            for (int i = 0; i < 400; ++i) {
                const QByteArray reply = RandomReply(rng);
                const QByteArray command = s.GetNextCmnd(reply);
                CheckCommand(s, command);
                if (s.TypeZeta() != probe::StateZeta) s.InputStr(reply);
                // Whatever happened, every read-out the window takes is still available.
                QVERIFY(s.XYZAxisStr().size() <= 48); // even the largest single fits
                QVERIFY(s.GetRangeString(s.Range()).size() < 64);
            }
        }
    }
};

QTEST_GUILESS_MAIN(FuzzTest)
#include "tst_fuzz.moc"
