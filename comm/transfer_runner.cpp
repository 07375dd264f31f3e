#include "comm/transfer_runner.h"

namespace fw {

void TransferHost::notice(const ExchangeAction& action) {
    TransferObserver* o = parts_.observer;
    if (!o) return;
    switch (action.kind) {
    case ExchangeAction::Kind::progress: o->progress(action.value); break;
    case ExchangeAction::Kind::recordCount: o->recordCount(action.value); break;
    case ExchangeAction::Kind::openProgress: o->openProgress(); break;
    case ExchangeAction::Kind::closeProgress: o->closeProgress(); break;
    case ExchangeAction::Kind::message: o->message(action.value); break;
    default: break;
    }
}

ExchangeAnswer TransferHost::request(const ExchangeAction& action) {
    ExchangeAnswer answer;
    switch (action.kind) {
    case ExchangeAction::Kind::writeRecord:
        answer.ok = parts_.records && parts_.records->write(action.bytes);
        break;
    case ExchangeAction::Kind::syncRecords:
        answer.ok = parts_.records && parts_.records->sync();
        break;
    case ExchangeAction::Kind::askRetry:
        answer.ok = parts_.observer && parts_.observer->askRetry();
        break;
    default:
        break;
    }
    return answer;
}

}  // namespace fw
