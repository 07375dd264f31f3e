// The station's rules without a port: which records of a batch are repeats
// of the previous one, when a port is asked again, and the two exchanges
// of the station on a fake clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "station/ask_rule.h"
#include "station/repeat_rule.h"
#include "station/station_exchanges.h"
#include "station/station_port.h"

namespace fw {
namespace {

// Offers `batch` and returns, per record, 'h' held or 's' stored, and the
// settlement of the run (when it ended or at the batch's end).
struct Offered {
    std::string marks;
    RepeatSettlement settlement;
};

Offered offerAll(RepeatMatcher& m, const std::vector<std::string>& batch) {
    Offered o;
    bool settled = false;
    for (const std::string& r : batch) {
        const RepeatMatcher::Step s = m.offer(r);
        if (s.settled) {
            o.settlement = s.settlement;
            settled = true;
        }
        o.marks += s.held ? 'h' : 's';
    }
    if (!settled) o.settlement = m.finish();
    return o;
}

TEST(StationRepeats, ARecordWhoseAcknowledgementWasLostIsARepeat) {
    RepeatMatcher m({"A", "B", "C"}, RepeatScope::tail);
    const Offered o = offerAll(m, {"C", "D", "E"});
    EXPECT_EQ(o.marks, "hss");
    EXPECT_EQ(o.settlement.repeats, 1u);
    EXPECT_EQ(o.settlement.released, 0u);
}

TEST(StationRepeats, AWholeInterruptedBatchSentAgainIsSkippedUpToItsEnd) {
    RepeatMatcher m({"A", "B", "C"}, RepeatScope::tail);
    const Offered o = offerAll(m, {"A", "B", "C", "D"});
    EXPECT_EQ(o.marks, "hhhs");
    EXPECT_EQ(o.settlement.repeats, 3u);
    EXPECT_EQ(o.settlement.released, 0u);

    // The last and the first record alike: the longer run wins, and a run
    // that ends with the batch (no new record after it) is settled at the end.
    RepeatMatcher both({"A", "B", "A"}, RepeatScope::tail);
    const Offered o2 = offerAll(both, {"A", "B", "A"});
    EXPECT_EQ(o2.marks, "hhh");
    EXPECT_EQ(o2.settlement.repeats, 3u);
}

TEST(StationRepeats, RecordsThatOnlyLookLikeTheEndOfThePreviousBatchAreStored) {
    // "B" matches the middle of the previous batch, but the run breaks off
    // before its end: new records after all, released to be stored.
    RepeatMatcher m({"A", "B", "C"}, RepeatScope::tail);
    const Offered o = offerAll(m, {"B", "X"});
    EXPECT_EQ(o.marks, "hs");
    EXPECT_EQ(o.settlement.repeats, 0u);
    EXPECT_EQ(o.settlement.released, 1u);

    // "C" alone ends the previous batch; "C","D" might have been the start
    // of it sent again, until "X" came: "C" is a repeat, "D" is released.
    RepeatMatcher longer({"C", "D", "C"}, RepeatScope::tail);
    const Offered o2 = offerAll(longer, {"C", "D", "X"});
    EXPECT_EQ(o2.marks, "hhs");
    EXPECT_EQ(o2.settlement.repeats, 1u);
    EXPECT_EQ(o2.settlement.released, 1u);

    // The batch ends while the run is still short of the previous end.
    RepeatMatcher cut({"A", "B", "C"}, RepeatScope::tail);
    const Offered o3 = offerAll(cut, {"A", "B"});
    EXPECT_EQ(o3.settlement.repeats, 0u);
    EXPECT_EQ(o3.settlement.released, 2u);
}

TEST(StationRepeats, ACompletedBatchCountsOnlyAsAWholeAndOnlyWhenAsked) {
    EXPECT_EQ(repeatScopeFor(true, false), RepeatScope::none);
    EXPECT_EQ(repeatScopeFor(true, true), RepeatScope::whole);
    EXPECT_EQ(repeatScopeFor(false, false), RepeatScope::tail);

    RepeatMatcher none({"A", "B"}, RepeatScope::none);
    EXPECT_EQ(offerAll(none, {"A", "B", "C"}).marks, "sss");

    // A terminal that keeps its records sends them all again, then its new one.
    RepeatMatcher whole({"A", "B"}, RepeatScope::whole);
    const Offered o = offerAll(whole, {"A", "B", "C"});
    EXPECT_EQ(o.marks, "hhs");
    EXPECT_EQ(o.settlement.repeats, 2u);

    // Only the tail of it is not the whole previous batch.
    RepeatMatcher tailOnly({"A", "B"}, RepeatScope::whole);
    const Offered o2 = offerAll(tailOnly, {"B", "C"});
    EXPECT_EQ(o2.marks, "ss");
    EXPECT_EQ(o2.settlement.repeats, 0u);
}

TEST(StationAskRule, APortWithoutTerminalIsAskedEveryFewSeconds) {
    AskRule rule({5000, 5000, 10000});
    EXPECT_EQ(rule.next(), AskRule::Next::ask);
    EXPECT_EQ(rule.dueAtMs(), 0);
    rule.asked(1000, AskOutcome::silent);
    EXPECT_EQ(rule.next(), AskRule::Next::ask);
    EXPECT_EQ(rule.dueAtMs(), 6000);
    // A batch that broke off is asked for again the same way.
    rule.asked(7000, AskOutcome::broken);
    EXPECT_EQ(rule.dueAtMs(), 12000);
}

TEST(StationAskRule, ATerminalThatCompletedIsOnlyProbedUntilItIsGone) {
    AskRule rule({5000, 5000, 10000});
    rule.asked(0, AskOutcome::completed);
    EXPECT_EQ(rule.next(), AskRule::Next::probe);
    EXPECT_EQ(rule.dueAtMs(), 5000);
    rule.probed(5000, true);     // still in its cradle
    rule.probed(10000, true);
    EXPECT_TRUE(rule.resting());
    rule.probed(15000, false);   // taken out: one silence is not yet gone
    EXPECT_EQ(rule.next(), AskRule::Next::probe);
    EXPECT_EQ(rule.dueAtMs(), 20000);
    rule.probed(20000, true);    // back (or only a lost reply): the wait starts again
    rule.probed(25000, false);
    rule.probed(30000, true);
    EXPECT_TRUE(rule.resting());
    rule.probed(35000, false);
    rule.probed(40000, false);   // silent for 10 s: gone
    EXPECT_FALSE(rule.resting());
    EXPECT_EQ(rule.next(), AskRule::Next::ask);
    EXPECT_EQ(rule.dueAtMs(), 40000);
}

std::vector<uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

bool ends(const ExchangeActions& actions, int result) {
    return !actions.empty() && actions.back().kind == ExchangeAction::Kind::end && actions.back().value == result;
}

TEST(StationExchanges, AnAskThatHearsNothingEndsAtTheFirstSilence) {
    AskExchange silent;
    const ExchangeActions opening = silent.start();
    ASSERT_FALSE(opening.empty());
    EXPECT_EQ(opening[opening.size() - 2].bytes, bytesOf("GETD\r"));
    EXPECT_TRUE(ends(silent.timerExpired(), kTransferCancelled));
    EXPECT_TRUE(silent.silent());

    // Once the terminal said anything, silence is the receive's business:
    // "GETD\r" again, as the receive prompts.
    AskExchange heard;
    heard.start();
    heard.received(bytesOf("\xF1"));
    const ExchangeActions again = heard.timerExpired();
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(again.front().bytes, bytesOf("GETD\r"));
    EXPECT_FALSE(heard.silent());

    // The serial reaches the store with the record's line.
    AskExchange records;
    records.start();
    const ExchangeActions write = records.received(bytesOf(std::string("\x00" "AB" "\x83\x00\r", 6)));
    ASSERT_EQ(write.size(), 1u);
    EXPECT_EQ(write[0].kind, ExchangeAction::Kind::writeRecord);
    EXPECT_EQ(write[0].bytes, bytesOf("AB\r\n"));
    EXPECT_EQ(write[0].value, 0);
}

TEST(StationExchanges, AProbeTakesAnyWholeReplyAndAcknowledgesNothing) {
    ProbeExchange p;
    p.start();
    EXPECT_TRUE(p.received(bytesOf(std::string("\x00" "AB", 3))).empty());   // not whole yet
    const ExchangeActions got = p.received(bytesOf(std::string("\x83\x00\r", 3)));
    EXPECT_TRUE(ends(got, kTransferDone));
    for (const ExchangeAction& a : got) EXPECT_NE(a.kind, ExchangeAction::Kind::send);

    ProbeExchange quiet;
    quiet.start();
    EXPECT_TRUE(ends(quiet.timerExpired(), kTransferCancelled));
    ProbeExchange gone;
    gone.start();
    EXPECT_TRUE(ends(gone.portFailed(), kErrorOnUploading));
}

TEST(StationFields, ARecordSplitsAtTheProgramsDelimiters) {
    using V = std::vector<std::string>;
    EXPECT_EQ(splitRecordFields("A,B,,C", ","), (V{"A", "B", "", "C"}));
    EXPECT_EQ(splitRecordFields("A,;B", ",;"), (V{"A", "B"}));
    EXPECT_EQ(splitRecordFields("", ","), (V{""}));
    EXPECT_EQ(splitRecordFields("A,B", ""), V{});
    // The terminal's bytes are Windows-1252; the fields are UTF-8.
    EXPECT_EQ(splitRecordFields("\x80,\xE9", ","), (V{"\xE2\x82\xAC", "\xC3\xA9"}));
}

}  // namespace
}  // namespace fw
