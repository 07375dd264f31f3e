// A test fixture with a new program and the default texts it was made
// from, as most tests of the model, the editor and the simulator start.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "model/program_model.h"

namespace fw::test {

class NewProgramTest : public ::testing::Test {
protected:
    NewProgramTest() {
        loadDefaultTexts(*texts);
        newProgram(*model, *texts);
    }

    // On the heap: each is tens of kilobytes.
    std::unique_ptr<DefaultTexts> texts = std::make_unique<DefaultTexts>();
    std::unique_ptr<ProgramModel> model = std::make_unique<ProgramModel>();
};

}  // namespace fw::test
