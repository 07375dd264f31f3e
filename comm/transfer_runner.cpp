#include "comm/transfer_runner.h"

#include "comm/program_image.h"

namespace fw {

void TransferHost::notice(const ExchangeAction& action) {
    if (!parts_.observer) return;
    if (action.kind == ExchangeAction::Kind::progress) parts_.observer->progress(action.value);
    if (action.kind == ExchangeAction::Kind::recordCount) parts_.observer->recordCount(action.value);
}

ExchangeAnswer TransferHost::request(const ExchangeAction& action) {
    ExchangeAnswer answer;
    switch (action.kind) {
    case ExchangeAction::Kind::buildImage:
        if (parts_.model) {
            // The normalisation stays in the model, as the terminal gets it.
            normaliseForDownload(*parts_.model);
            ProgramImage image;
            buildProgramImage(*parts_.model, image);
            answer.bytes.assign(image.bytes, image.bytes + kProgramImageSize);
            answer.ok = true;
        }
        break;
    case ExchangeAction::Kind::readLine:
        if (parts_.lookupFile) answer = nextLookupLine(*parts_.lookupFile);
        break;
    case ExchangeAction::Kind::writeRecord:
        answer.ok = parts_.records && parts_.records->write(action.bytes);
        break;
    case ExchangeAction::Kind::syncRecords:
        answer.ok = parts_.records && parts_.records->sync();
        break;
    default:
        break;
    }
    return answer;
}

}  // namespace fw
