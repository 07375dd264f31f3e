// The program report: one self-contained HTML page that shows the whole
// application to the people who roll it out and use it. Findings, the flow
// diagram, a picture of each form and menu in use as the terminal shows it,
// each form's lines with the record a sample entry writes, the lookup
// definitions and the barcode and terminal settings in words. No script, no
// network: the pictures are inline PNG, the diagram inline SVG, and the page
// prints on A4.
#pragma once

#include <string>

#include "model/default_texts.h"
#include "model/program_model.h"

namespace fw {

// `title` names the program (its file name), in UTF-8.
std::string buildReport(const ProgramModel& model, const DefaultTexts& defaults, const std::string& title);

// "report.html" beside "C:\\dir\\SHOP.FWX": the same folder and name, with
// ".html" for the file's extension.
std::string reportPathFor(const std::string& programPath);

// The last part of a path: "SHOP.FWX" of "C:\\shop\\SHOP.FWX".
std::string fileNameOf(const std::string& path);

}  // namespace fw
