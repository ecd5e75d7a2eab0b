#pragma once
// Writing GF trees back out, for the tools that inspect and convert exported files. The
// engine itself only reads GF.
#include "scene/gf.h"

#include <cstdint>
#include <string>
#include <vector>

// The text form of a tree, one value or array item per line, indented by depth. Floats are
// written so that they read back to the same bits, FP_C streams as the RUN and DAT blocks
// that hold their floats. Check GF_TextFormProblem first: some binary trees have no text
// form.
std::string GF_WriteText(const GFNode* root);

// Why a tree cannot be written as text (a name or text the line format cannot hold, an
// empty numeric array item, a NaN whose payload would not survive), or "" when it can.
std::string GF_TextFormProblem(const GFNode* root);

// The binary form of a tree: a FORM of big-endian chunks, texts and names padded to
// multiples of four bytes.
std::vector<std::uint8_t> GF_WriteBinary(const GFNode* root);
