#include "calculator/form.h"

#include <algorithm>

namespace relperm {

int ComboBox::find(const std::string& value) const {
    auto it = std::find(entries.begin(), entries.end(), value);
    return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
}

void ComboBox::reset(std::string newText) {
    entries.clear();
    text = std::move(newText);
    picked = -1;
}

void ComboBox::type(std::string newText) {
    text = std::move(newText);
    picked = -1;
}

void ComboBox::select(int index) {
    picked = index;
    text = entries.at(static_cast<std::size_t>(index));
}

CalculatorForm::CalculatorForm() {
    for (const char* control :
         {"Label1", "Text1", "fldpk", "Label2", "poro", "Label3", "permo", "Label4", "Swco",
          "Label5", "sorwo", "Label6", "sorgo", "Label7", "sgco", "Label9", "spo"})
        shown[control] = true;
    for (const char* control : {"Label10", "corpk", "wetpk", "formpk", "Label8", "krgo", "Command1",
                                "MSFlexGrid1", "vomar", "MSFlexGrid2", "krl2"})
        shown[control] = false;

    fldpk_.reset("Select Fluids");
    fldpk_.entries = {"Water-Oil-Gas", "Water-Gas", "Gas-Condensate"};
    formpk_.reset("Select Formation");
    formpk_.entries = {"Sandstone", "Carbonate"};
    corpk_.reset("Select Correlation");
    wetpk_.reset("Select Wettability");
}

ComboBox& CalculatorForm::mutableList(CalculatorList which) {
    switch (which) {
    case CalculatorList::Fluids:
        return fldpk_;
    case CalculatorList::Correlation:
        return corpk_;
    case CalculatorList::Wettability:
        return wetpk_;
    case CalculatorList::Formation:
        break;
    }
    return formpk_;
}

const ComboBox& CalculatorForm::list(CalculatorList which) const {
    return const_cast<CalculatorForm*>(this)->mutableList(which);
}

bool CalculatorForm::isShown(const std::string& control) const {
    auto it = shown.find(control);
    return it != shown.end() && it->second;
}

void CalculatorForm::show(std::initializer_list<const char*> controls, bool visible) {
    for (const char* control : controls)
        shown[control] = visible;
}

void CalculatorForm::pick(CalculatorList list, int index) {
    mutableList(list).select(index);
    switch (list) {
    case CalculatorList::Fluids:
        fldpk_Click();
        break;
    case CalculatorList::Correlation:
        corpk_Click();
        break;
    case CalculatorList::Wettability:
        wetpk_Click();
        break;
    case CalculatorList::Formation:
        formpk_Click();
        break;
    }
}

void CalculatorForm::type(CalculatorList list, std::string text) {
    mutableList(list).type(std::move(text));
}

void CalculatorForm::fldpk_Click() {
    show({"corpk"}, true);
    if (fldpk_.text == "Water-Oil-Gas") {
        label4Tooltip = "Critical (Connate) Water Saturation";
        show({"Label5", "sorwo", "Label6", "sorgo", "wetpk", "formpk"}, true);
        corpk_.reset("Select Correlation");
        corpk_.entries = {"Mohamad Ibrahim/Varnholt", "Honarpour/Varnholt/Harvey", "Rose", "Wyllie",
                          "Corey"};
    } else {
        show({"Command1"}, true);
        show({"Label5", "sorwo", "Label6", "sorgo", "wetpk", "formpk"}, false);
        // The box keeps showing a correlation name with an empty list; Generate ignores it
        // for the systems without oil.
        corpk_.reset("Mohamad Ibrahim/Varnholt");
    }
    if (fldpk_.text == "Gas-Condensate") {
        label4Caption = "Slc     %";
        label4Tooltip = "Critical Liquid Saturation";
        show({"Label2", "poro", "Label3", "permo"}, false);
    } else {
        label4Caption = "Swc     %";
        label4Tooltip = "Critical (Connate) Water Saturation";
        show({"Label2", "poro", "Label3", "permo"}, true);
    }
}

void CalculatorForm::corpk_Click() {
    const std::string c4 = corpk_.text.substr(0, 4);
    wetpk_.reset("Select Wettability");
    show({"wetpk", "Label2", "Label3", "poro", "permo"}, true);
    show({"Label8", "krgo"}, false);
    if (c4 == "Moha") {
        wetpk_.entries = {"Strongly Water Wet", "Water Wet", "Intermediate (Mixed)", "Oil Wet"};
    } else if (c4 == "Hona") {
        show({"Label8", "krgo"}, true);
        wetpk_.entries = {"Water Wet", "Oil or Intermediate Wet"};
    } else if (c4 == "Core" || c4 == "Wyll") {
        show({"wetpk", "Label2", "Label3", "poro", "permo"}, false);
    } else if (c4 == "Rose") {
        show({"wetpk", "formpk", "Label2", "Label3", "poro", "permo"}, false);
        show({"Command1"}, true);
    }
    show({"formpk"}, !(c4 == "Rose" || c4 == "Core"));
    showGenerateForWyllieOrCorey();
}

void CalculatorForm::showGenerateForWyllieOrCorey() {
    if (corpk_.text == "Wyllie" && formpk_.hasPick())
        show({"Command1"}, true);
    if (corpk_.text == "Corey")
        show({"Command1"}, true);
}

void CalculatorForm::formpk_Click() {
    if (corpk_.hasPick() && wetpk_.hasPick() && formpk_.hasPick())
        show({"Command1"}, true);
    showGenerateForWyllieOrCorey();
}

void CalculatorForm::wetpk_Click() {
    if (corpk_.hasPick() && wetpk_.hasPick() && formpk_.hasPick())
        show({"Command1"}, true);
}

void CalculatorForm::showGenerated(FluidSystem system) {
    const bool withOil = system == FluidSystem::WaterOilGas;
    show({"MSFlexGrid1", "vomar"}, withOil);
    show({"MSFlexGrid2", "krl2"}, true);
}

GenerateInput CalculatorForm::generateInput() const {
    GenerateInput in;
    in.porosity = poro;
    in.permeability = permo;
    in.krgAtSorg = krgo;
    in.swc = Swco;
    in.sorw = sorwo;
    in.sorg = sorgo;
    in.sgc = sgco;
    in.spacing = spo;
    in.fluids = fldpk_.text;
    in.correlation = corpk_.text;
    in.wettability = wetpk_.text;
    in.formation = formpk_.text;
    return in;
}

std::string generationCaption(const GenerateInput& input, const std::string& title) {
    const std::string what = input.correlation + ", " + input.fluids;
    const bool untitled = title.find_first_not_of(" \t") == std::string::npos;
    return untitled ? what : title + " (" + what + ")";
}

} // namespace relperm
