#include "engine/hlsl/hlsl_compiler.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>
#include <mutex>

#include "app/log/log.h"
#include "engine/hlsl/global_defaults.h"

namespace gv::engine {
namespace {

constexpr size_t npos = std::string::npos;

bool isIdentifierChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Position just past the comment or string literal that starts at `i`; `i` when none does.
size_t skipCommentOrString(const std::string& s, size_t i) {
  if (s.compare(i, 2, "//") == 0) {
    size_t end = s.find('\n', i);
    return end == npos ? s.size() : end;
  }
  if (s.compare(i, 2, "/*") == 0) {
    size_t end = s.find("*/", i + 2);
    return end == npos ? s.size() : end + 2;
  }
  if (s[i] == '"') {
    size_t j = i + 1;
    while (j < s.size() && s[j] != '"' && s[j] != '\n') j += s[j] == '\\' ? 2 : 1;
    return std::min(j + 1, s.size());
  }
  return i;
}

// Walks from `i` over code, stepping over comments and strings, and returns one past the first
// character for which `isEnd` says so (the end of the text when none does).
template <typename IsEnd>
size_t scanCode(const std::string& s, size_t i, IsEnd&& isEnd) {
  while (i < s.size()) {
    size_t skipped = skipCommentOrString(s, i);
    if (skipped != i) {
      i = skipped;
      continue;
    }
    if (isEnd(s[i++])) return i;
  }
  return s.size();
}

// One past the ';' that ends the declaration starting at `i` (annotations in <> may hold ';').
size_t endOfDeclaration(const std::string& s, size_t i) {
  int angles = 0;
  return scanCode(s, i, [&](char c) {
    if (c == '<') ++angles;
    if (c == '>' && angles > 0) --angles;
    return c == ';' && angles == 0;
  });
}

// One past the '}' matching the first '{' at or after `i`.
size_t endOfBlock(const std::string& s, size_t i) {
  int depth = 0;
  return scanCode(s, i, [&](char c) {
    if (c == '{') ++depth;
    return c == '}' && --depth == 0;
  });
}

void blankRange(std::string& s, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i)
    if (s[i] != '\n' && s[i] != '\r') s[i] = ' ';
}

bool isTextureKeyword(const std::string& word) {
  std::string lower = word;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower == "texture" || word == "texture1D" || word == "texture2D" ||
         word == "texture3D" || word == "textureCUBE";
}

bool isTechniqueKeyword(const std::string& word) {
  return word == "technique" || word == "Technique" || word == "technique10" ||
         word == "technique11";
}

// True when the next token after `i` is an identifier, as in a declaration `texture T;`.
bool identifierFollows(const std::string& s, size_t i) {
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  return i < s.size() && (std::isalpha(static_cast<unsigned char>(s[i])) || s[i] == '_');
}

std::string macroPreamble(const CGvMacro* macros) {
  std::string preamble;
  for (const CGvMacro* m = macros; m && m->Name; ++m) {
    preamble += "#define ";
    preamble += m->Name;
    preamble += ' ';
    preamble += m->Definition ? m->Definition : "";
    preamble += '\n';
  }
  return preamble;
}

// Hands the compiler's include requests to the engine's callback. Only the "system" hook is
// answered: the compiler asks it for <> includes and after the "local" hook fails for ""
// includes, so the callback is asked exactly once per directive either way. Each file is
// copied with its effect constructs blanked; after `replay()` the same sequence of requests
// (a second preprocessing of the same text) is served from those copies.
class IncludeBridge : public glslang::TShader::Includer {
 public:
  explicit IncludeBridge(IIncludeCallback* callback) : callback_(callback) {}
  IncludeResult* includeSystem(const char* name, const char*, size_t) override {
    const std::string* text = next(name);
    if (!text) return nullptr;
    return new IncludeResult(name, text->data(), text->size(), nullptr);
  }
  void releaseInclude(IncludeResult* result) override { delete result; }
  void replay() { replayed_ = 0; }

 private:
  const std::string* next(const char* name) {
    if (replayed_ < files_.size() && files_[replayed_].first == name)
      return &files_[replayed_++].second;
    const void* data = nullptr;
    irr::u32 size = 0;
    if (!callback_ || !callback_->Open(name, &data, &size)) return nullptr;
    std::string text(static_cast<const char*>(data), size);
    callback_->Close(data);
    files_.emplace_back(name, blankEffectConstructs(text));
    replayed_ = files_.size();
    return &files_.back().second;
  }

  IIncludeCallback* callback_;
  std::deque<std::pair<std::string, std::string>> files_;  // stable addresses
  size_t replayed_ = 0;
};

bool fail(std::string* errors, const std::string& message) {
  std::string text = message.empty() ? "Shader compilation failed" : message;
  if (errors) {
    *errors = text;
  } else {
    gvLog(GVLOG_ERROR, "Compile shader compilation failed:");
    gvLog(GVLOG_ERROR, "%s", text.c_str());
  }
  return false;
}

void initialiseCompilerOnce() {
  static std::once_flag once;
  std::call_once(once, [] { glslang::InitializeProcess(); });
}

constexpr unsigned kConstantBlockBinding = 32;

// The shader set up with the source, macros and environment both passes use.
void configure(glslang::TShader& shader, const char* const* strings, const int* lengths,
               const char* const* names, const char* entry, const std::string& preamble) {
  shader.setStringsWithLengthsAndNames(strings, lengths, names, 1);
  shader.setEntryPoint(entry);
  shader.setSourceEntryPoint(entry);
  shader.setPreamble(preamble.c_str());
  const EShLanguage stage = shader.getStage();
  shader.setEnvInput(glslang::EShSourceHlsl, stage, glslang::EShClientVulkan, 100);
  shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
  shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
  shader.setEnvTargetHlslFunctionality1();
  shader.setHlslIoMapping(true);
  shader.setAutoMapBindings(true);
  shader.setAutoMapLocations(true);
  // The constant block's binding must not take a sampler's: samplers keep their registers.
  shader.setShiftUboBinding(kConstantBlockBinding);
}

// Without Direct3D 9 compatibility sampler2D and tex2D do not translate correctly.
const auto kMessages = static_cast<EShMessages>(EShMsgSpvRules | EShMsgVulkanRules |
                                                EShMsgReadHlsl | EShMsgHlslDX9Compatible);

bool compileStage(EShLanguage stage, const char* source, const char* entry,
                  const CGvMacro* macros, IIncludeCallback* includes, ShaderCode& code,
                  std::string* errors, const char* sourceName) {
  initialiseCompilerOnce();
  const std::string text = blankEffectConstructs(source ? source : "");
  const char* strings[] = {text.c_str()};
  const int lengths[] = {static_cast<int>(text.size())};
  const char* names[] = {sourceName ? sourceName : ""};
  const std::string preamble = macroPreamble(macros);

  glslang::TShader shader(stage);
  configure(shader, strings, lengths, names, entry, preamble);
  IncludeBridge bridge(includes);
  if (!shader.parse(GetDefaultResources(), 100, false, kMessages, bridge))
    return fail(errors, shader.getInfoLog());

  glslang::TProgram program;
  program.addShader(&shader);
  // Link messages name neither the file nor the entry (such as a missing entry function).
  if (!program.link(kMessages) || !program.mapIO())
    return fail(errors, std::string(names[0]) + ": entry " + entry + ": " +
                            program.getInfoLog() + shader.getInfoLog());

  // HLSL output needs the legalisation passes, which run only with the optimiser enabled.
  glslang::SpvOptions options;
  options.disableOptimizer = false;
  spv::SpvBuildLogger logger;
  ShaderCode words;
  glslang::GlslangToSpv(*program.getIntermediate(stage), words, &logger, &options);
  if (words.empty()) return fail(errors, logger.getAllMessages());

  // The compiled code keeps no initialisers of global constants: read them from the
  // preprocessed text (includes and macros expanded) and keep them inside the code.
  glslang::TShader preprocessor(stage);
  configure(preprocessor, strings, lengths, names, entry, preamble);
  std::string preprocessed;
  bridge.replay();
  if (preprocessor.preprocess(GetDefaultResources(), 100, ENoProfile, false, false, kMessages,
                              &preprocessed, bridge))
    embedGlobalDefaults(words, scanGlobalDefaults(preprocessed));
  code = std::move(words);
  return true;
}

}  // namespace

std::string blankEffectConstructs(const std::string& source) {
  std::string s = source;
  int depth = 0;
  size_t i = 0;
  while (i < s.size()) {
    size_t skipped = skipCommentOrString(s, i);
    if (skipped != i) {
      i = skipped;
      continue;
    }
    const char c = s[i];
    if (c == '{') ++depth;
    if (c == '}') --depth;
    if (!isIdentifierChar(c) || (i > 0 && isIdentifierChar(s[i - 1]))) {
      ++i;
      continue;
    }
    size_t wordEnd = i;
    while (wordEnd < s.size() && isIdentifierChar(s[wordEnd])) ++wordEnd;
    const std::string word = s.substr(i, wordEnd - i);
    size_t blankFrom = i, blankTo = wordEnd;
    if (depth == 0 && isTechniqueKeyword(word)) {
      blankTo = endOfBlock(s, i);
    } else if (depth == 0 && isTextureKeyword(word) && identifierFollows(s, wordEnd)) {
      blankTo = endOfDeclaration(s, i);
    } else if (word == "sampler_state") {
      size_t equals = s.find_last_not_of(" \t\r\n", i == 0 ? 0 : i - 1);
      if (equals != npos && s[equals] == '=') blankFrom = equals;
      blankTo = endOfBlock(s, i);
    } else {
      i = wordEnd;
      continue;
    }
    blankRange(s, blankFrom, blankTo);
    i = blankTo;
  }
  return s;
}

bool compileHLSLVertexShader(const char* source, const char* entry,
                             irr::video::E_VERTEX_SHADER_TYPE target, const CGvMacro* macros,
                             IIncludeCallback* includes, ShaderCode& code, std::string* errors,
                             const char* sourceName) {
  if (target < 0 || target >= irr::video::EVST_COUNT) {
    gvLog(GVLOG_ERROR, "Invalid HLSL vertex shader compilation target");
    return false;
  }
  return compileStage(EShLangVertex, source, entry, macros, includes, code, errors, sourceName);
}

bool compileHLSLPixelShader(const char* source, const char* entry,
                            irr::video::E_PIXEL_SHADER_TYPE target, const CGvMacro* macros,
                            IIncludeCallback* includes, ShaderCode& code, std::string* errors,
                            const char* sourceName) {
  if (target < 0 || target >= irr::video::EPST_COUNT) {
    gvLog(GVLOG_ERROR, "Invalid HLSL pixel shader compilation target");
    return false;
  }
  return compileStage(EShLangFragment, source, entry, macros, includes, code, errors,
                      sourceName);
}

}  // namespace gv::engine
