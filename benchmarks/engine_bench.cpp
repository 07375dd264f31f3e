// Times the simulation engine's key handling: a form with text, integer and
// extension lines is filled and completed over and over, and the menus and
// utilities screens are walked. Prints the mean time of one pressKey.
#include <chrono>
#include <cstdio>
#include <memory>

#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "simulator/simulation_engine.h"

int main() {
    using namespace fw;
    auto model = std::make_unique<ProgramModel>();
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    newProgram(*model, *defaults);
    FormDef& f = model->forms[0];
    f.dataType[0] = kTypeText;
    setFieldText(f.prompt[0], "Item:");
    f.dataType[1] = kTypeExtension;
    f.dataType[2] = kTypeInteger;
    setFieldText(f.prompt[2], "Qty :");
    f.maxLength[0] = 40;
    f.nextTarget = targetForm(1);

    SimulationEngine engine(*model, *defaults, [] { return LocalTime{2026, 1, 5, 14, 30, 0}; });
    engine.pressKey(1);   // Collect: opens form 1

    const int rounds = 20000;
    long presses = 0;
    auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
        engine.toggleAlpha();
        for (int k : {2, 2, 3, 4, 4, 4, 5, 6, 7, 8, 9, 2, 3}) {
            engine.pressKey(k);
            ++presses;
        }
        engine.toggleAlpha();
        for (int k : {18, 1, 19, 1, 2, 3, 4, 19}) {
            engine.pressKey(k);
            ++presses;
        }
        engine.tickEngine();
    }
    auto elapsed = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    std::printf("pressKey: %ld presses in %.0f us, %.3f us each; %d records\n", presses, elapsed,
                elapsed / static_cast<double>(presses), engine.recordCount());
    return 0;
}
