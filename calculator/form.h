// The calculator window without its widgets: the texts of the boxes, the four editable
// lists and the selection rules that decide what is shown and offered at each moment.
// The window mirrors this model; the command line replays picks through it, so both see
// the same lists, texts and run-file indices.
#pragma once

#include "calculator/generate.h"

#include <map>
#include <string>
#include <vector>

namespace relperm {

// An editable drop-down list. Its text is either an entry picked from the list or typed
// text; only a pick counts as a picked entry.
struct ComboBox {
    std::vector<std::string> entries;
    std::string text;
    int picked = -1; // index of the picked entry, -1 when none

    bool hasPick() const { return picked >= 0; }
    // The index of the entry whose text is exactly `value`, or -1.
    int find(const std::string& value) const;
    // Empties the list and shows `newText`, with no pick.
    void reset(std::string newText);
    void type(std::string newText);
    void select(int index); // index must lie in the list
};

enum class CalculatorList { Fluids, Correlation, Wettability, Formation };

// What names a generation in the titles of the windows that show its tables: the
// correlation and the fluid system as picked or typed, with the run's title before them when
// it has one ("Field A (Corey, Water-Oil-Gas)").
std::string generationCaption(const GenerateInput& input, const std::string& title);

class CalculatorForm {
  public:
    CalculatorForm(); // the start-up state of the window

    // Picks entry `index` of a list, as the user would, and runs that list's handler.
    void pick(CalculatorList list, int index);
    // Types text into a list's box: the text shows, nothing is picked, no handler runs.
    void type(CalculatorList list, std::string text);

    const ComboBox& list(CalculatorList which) const;
    bool isShown(const std::string& control) const;

    // The texts Generate reads.
    GenerateInput generateInput() const;

    // Texts of the boxes, by control name.
    std::string title;     // Text1
    std::string poro;      // porosity, %
    std::string permo;     // permeability, md
    std::string krgo;      // krg at Sorg, fraction
    std::string Swco;      // Swc (Slc for Gas-Condensate), %
    std::string sorwo;     // Sorw, %
    std::string sorgo;     // Sorg, %
    std::string sgco;      // Sgc, %
    std::string spo = "5"; // saturation spacing, %

    std::string label4Caption = "Swc     %";
    std::string label4Tooltip = "Critical (Connate) Water Saturation";

    // Whether each control is shown, by control name.
    std::map<std::string, bool, std::less<>> shown;

    // After a generation: the water-oil grid and surface only for Water-Oil-Gas, the gas
    // grid and surface always.
    void showGenerated(FluidSystem system);

    void fldpk_Click();
    void corpk_Click();
    void wetpk_Click();
    void formpk_Click();

  private:
    ComboBox& mutableList(CalculatorList which);
    void show(std::initializer_list<const char*> controls, bool visible);
    // The two formation/correlation rules that formpk_Click and corpk_Click share.
    void showGenerateForWyllieOrCorey();

    ComboBox fldpk_;
    ComboBox corpk_;
    ComboBox wetpk_;
    ComboBox formpk_;
};

} // namespace relperm
