// Stored layouts: the text form in which each window keeps its components and their
// properties, and the reader that builds a window from it.
//
//     TForm10 Form10 {
//         Caption = "考试"              strings are UTF-8 here and GBK in the program
//         Width = 1024
//         Align = alTop                 names: enumeration values, events, components
//         Font.Style = [fsBold]         sets
//         Skin3rd = ("a=1" "b=2")       lists of strings
//         Picture = file "Index.Image2.jpg"   binary data from a file beside the layout
//         TPanel Panel1 { ... }         owned components, nested under their parent
//     }
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Classes.h"

// A layout that cannot be read or applied; the message names the layout and the line.
class ELayoutError : public Exception {
public:
    using Exception::Exception;
};

struct TLayoutProperty {
    std::string name;
    TLayoutValue value;
    int line = 0;
};

struct TLayoutNode {
    std::string className;
    std::string name;
    int line = 0;
    std::vector<TLayoutProperty> properties;
    std::vector<TLayoutNode> children;
};

// Reads a named file that a layout refers to ("file" values).
using TLayoutFileReader = std::function<std::vector<uint8_t>(const std::string& fileName)>;

// Parses layout text. Strings are converted by toAnsi (UTF-8 in, program text out).
TLayoutNode ParseLayout(const std::string& text, const std::string& layoutName,
                        const TLayoutFileReader& readFile,
                        const std::function<std::string(const std::string&)>& toAnsi);

// Builds root's owned components from a parsed layout and sets every stored property: the
// components first, references between them next, then each one's loaded notification in
// creation order and the root's last.
void ApplyLayout(TComponent& root, const TLayoutNode& layout, const std::string& layoutName);
