#include "check/display_image.h"

#include <algorithm>
#include <memory>

#include "model/form_rules.h"
#include "simulator/display_font.h"
#include "simulator/display_picture.h"
#include "simulator/key_script.h"

namespace fw {

namespace {

// The colours of the face's display bitmaps.
constexpr std::uint32_t kLcd = 0xA9B89A;
constexpr std::uint32_t kBar = 0x1F2A22;
constexpr std::uint32_t kDarkInk = 0x000000;
constexpr std::uint32_t kLightInk = 0xFFFFFF;

constexpr int kMargin = 4;
constexpr FaceRect kShown{kTextArea.left - kMargin, kTextArea.top - kMargin, kTextArea.right + kMargin,
                          kTextArea.bottom + kMargin};

FaceRect bitmapRect(const DisplayBitmap& b) {
    for (const FaceBitmap& f : kFaceBitmaps)
        if (f.id == b.id) return {b.at.x, b.at.y, b.at.x + f.width, b.at.y + f.height};
    return {0, 0, 0, 0};
}

}  // namespace

RgbImage displayImage(const SimulationEngine& engine, int scale) {
    if (scale < 1) scale = 1;
    const int w = kShown.right - kShown.left;
    const int h = kShown.bottom - kShown.top;
    RgbImage face(w, h, kLcd);
    const DisplayPicture picture = composeDisplay(engine, {});
    for (const DisplayBitmap& b : picture.bitmaps) {
        // The blank bitmap erases the clock line to the display's own colour.
        const std::uint32_t colour = b.id == kBitmapBlank ? kLcd : kBar;
        const FaceRect r = bitmapRect(b);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) face.set(x - kShown.left, y - kShown.top, colour);
    }
    const DisplayInk ink = drawDisplayText(picture);
    for (int y = kShown.top; y < kShown.bottom; ++y)
        for (int x = kShown.left; x < kShown.right; ++x) {
            const Ink i = ink.at(x, y);
            if (i != Ink::None) face.set(x - kShown.left, y - kShown.top, i == Ink::Dark ? kDarkInk : kLightInk);
        }
    if (scale == 1) return face;
    RgbImage big(w * scale, h * scale, kLcd);
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x) big.set(x, y, face.at(x / scale, y / scale));
    return big;
}

LocalTime sampleTime() { return LocalTime{2024, 1, 5, 14, 30, 0}; }

RgbImage pageImage(const ProgramModel& model, const DefaultTexts& defaults, int target, int scale) {
    auto copy = std::make_unique<ProgramModel>(model);
    normaliseForCollect(*copy);
    SimulationEngine engine(*copy, defaults, [] { return sampleTime(); });
    engine.open(target);
    return displayImage(engine, scale);
}

char sampleCharacter(int type) {
    switch (type) {
        case kTypeInteger:
        case kTypeReal:
        case kTypeAuto: return '9';
        case kTypeBoolean: return 'Y';
        default: return 'X';   // text, letter, alphanumeric, extension
    }
}

SampleEntry sampleEntry(const ProgramModel& model, const DefaultTexts& defaults, int form) {
    SampleEntry sample;
    auto copy = std::make_unique<ProgramModel>(model);
    normaliseForCollect(*copy);
    SimulationEngine engine(*copy, defaults, [] { return sampleTime(); });
    const int target = targetForm(form + 1);
    engine.open(target);
    const FormDef& f = copy->forms[form];

    bool done[kLinesPerForm] = {};
    // Every line at most 160 characters and one Enter: a bound well above
    // what a form can take, so that a form that never completes ends too.
    for (int step = 0; step < kLinesPerForm * 200; ++step) {
        if (!engine.records().empty()) break;
        if (engine.mode() == EngineMode::Error) {
            done[f.currentLine % kLinesPerForm] = true;
            engine.pressKey(19);
            continue;
        }
        if (engine.mode() != EngineMode::Form || engine.current() != target) break;
        const int line = f.currentLine % kLinesPerForm;
        const int length = std::min<int>(f.maxLength[line], SimulationEngine::kValueMax);
        if (done[line] || static_cast<int>(engine.value(line).size()) >= length) {
            done[line] = true;
            // Completing the record opens the next page, which empties the values.
            for (int i = 0; i < kLinesPerForm; ++i) sample.values[i] = std::string(engine.value(i));
            engine.pressKey(19);
            // Enter refused (the value is too short): the form never completes.
            if (engine.mode() == EngineMode::Error) break;
            continue;
        }
        int type = f.dataType[line];
        for (int j = line; type == kTypeExtension && j > 0;) type = f.dataType[--j];
        KeyStroke stroke;
        if (!keyStrokeFor(sampleCharacter(type), stroke)) break;
        if (stroke.alpha != engine.alphaOn()) engine.toggleAlpha();
        for (int p = 0; p < stroke.presses; ++p) engine.pressKey(stroke.key);
        if (stroke.alpha)
            for (int t = 0; t < 8; ++t) engine.tickEngine();
        if (engine.mode() == EngineMode::Error) done[line] = true;
    }
    if (!engine.records().empty()) {
        sample.recorded = true;
        sample.text = std::string(engine.records().all().back().text.view());
    }
    return sample;
}

}  // namespace fw
