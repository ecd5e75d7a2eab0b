#include "effects/defs/gavo_effect_loader.h"

#include "app/log/log.h"
#include "effects/defs/gavo_vocabulary.h"
#include "resources/files/files.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace gv {

namespace {

using namespace gavo;
using std::string_view;
using Pieces = std::vector<string_view>;

// A line that is read is at most this long: refusing a longer one beats cutting a
// declaration and silently changing its meaning.
constexpr std::size_t kMaxLineLength = 255;
constexpr std::size_t kMaxParts = 32;
constexpr std::size_t kMaxTokens = 20;
constexpr std::size_t kMaxWords = 20;
constexpr std::size_t kMaxValues = 32;

char messageBuffer[1024];

const char* formatMessage(const char* format, ...) GV_PRINTF_FORMAT(1, 2);
const char* formatMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(messageBuffer, sizeof messageBuffer, format, args);
  va_end(args);
  return messageBuffer;
}

stringc text(string_view s) { return stringc(s.data(), static_cast<u32>(s.size())); }

bool startsWith(string_view s, string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

string_view trimmed(string_view s) {
  std::size_t begin = s.find_first_not_of(" \t");
  if (begin == string_view::npos) return {};
  return s.substr(begin, s.find_last_not_of(" \t") - begin + 1);
}

// Pieces between separators, at most max of them. Empty pieces are kept only when asked:
// the parts of a declaration keep their positions, words and tokens do not.
Pieces split(string_view s, string_view separators, bool keepEmpty, std::size_t max) {
  Pieces pieces;
  std::size_t start = 0;
  while (pieces.size() < max) {
    std::size_t end = s.find_first_of(separators, start);
    string_view piece = s.substr(start, end == string_view::npos ? string_view::npos : end - start);
    if (keepEmpty) piece = trimmed(piece);
    if (keepEmpty || !piece.empty()) pieces.push_back(piece);
    if (end == string_view::npos) break;
    start = end + 1;
  }
  return pieces;
}

Pieces words(string_view s) { return split(s, " \r\n", false, kMaxWords); }

template <class Lookup>
u32 flagsOf(const Pieces& values, Lookup lookup) {
  u32 flags = 0;
  if (values.size() > 1)
    for (string_view word : words(values[1])) flags |= lookup(word);
  return flags;
}

bool allDigits(string_view s) { return !s.empty() && s.find_first_not_of("0123456789") == string_view::npos; }

s32 unitNumber(string_view digits) {
  long long unit = 0;
  for (char c : digits) {
    unit = unit * 10 + (c - '0');
    if (unit > INT_MAX) return INT_MAX;
  }
  return static_cast<s32>(unit);
}

stringc upperAscii(const stringc& s) {
  stringc upper = s;
  for (u32 i = 0; i < upper.size(); ++i)
    if (upper[i] >= 'a' && upper[i] <= 'z') upper[i] = static_cast<char>(upper[i] - 'a' + 'A');
  return upper;
}

// Lines end at LF or CR; the run of breaks after a line is skipped, so empty lines never
// come out. Numbers count lines the way editors do (CR LF is one break).
class LineReader {
 public:
  explicit LineReader(string_view text) : text_(text) {}

  bool next(string_view& line, int& number) {
    while (pos_ < text_.size() && isBreak(text_[pos_])) skipBreak();
    if (pos_ >= text_.size()) return false;
    std::size_t start = pos_;
    while (pos_ < text_.size() && !isBreak(text_[pos_])) ++pos_;
    line = text_.substr(start, pos_ - start);
    number = line_;
    return true;
  }

 private:
  static bool isBreak(char c) { return c == '\n' || c == '\r'; }
  void skipBreak() {
    bool crBeforeLf = text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n';
    if (!crBeforeLf) ++line_;
    ++pos_;
  }
  string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

enum class EConfigPlace { TechniqueAnnotation, PassAnnotation, PassState };
struct SConfigKey {
  const char* Key;
  const char* Fixed;  // the value a key without value records; null: the key needs a value
  EConfigPlace Place;
};
const SConfigKey kConfigKeys[] = {
    {"baseMaterial", nullptr, EConfigPlace::PassAnnotation},
    {"render", nullptr, EConfigPlace::TechniqueAnnotation},
    {"rendertarget", nullptr, EConfigPlace::TechniqueAnnotation},
    {"tangents", "true", EConfigPlace::TechniqueAnnotation},
    {"point_size_enable", "true", EConfigPlace::PassState},
    {"depth_test_enable", nullptr, EConfigPlace::PassState},
    {"depth_mask", nullptr, EConfigPlace::PassState},
    {"depth_func", nullptr, EConfigPlace::PassState},
    {"techniques", nullptr, EConfigPlace::TechniqueAnnotation},
};

// Parses the declaration block once for one technique, the last one of the definition.
class CTechniqueReader {
 public:
  CTechniqueReader(CGvEffectDef& def, std::vector<std::string> conditions, bool isFirst)
      : def_(def), conditions_(std::move(conditions)), isFirst_(isFirst) {}

  // Null on success, else the message of the failing line.
  const char* read(string_view text) {
    LineReader lines(text);
    string_view line;
    int number = 0;
    bool inBlock = false;
    while (lines.next(line, number)) {
      if (!inBlock) {
        inBlock = line.find("[GAVO_BEGIN]") != string_view::npos;
        continue;
      }
      if (line.find("[GAVO_END]") != string_view::npos) break;
      if (line.size() > kMaxLineLength)
        return formatMessage("line %d is longer than %d characters", number, static_cast<int>(kMaxLineLength));
      if (!parseLine(line)) return error_;
    }
    return nullptr;
  }

 private:
  STechnique& technique() { return def_.Techniques.getLast(); }
  SPass& pass() { return technique().Passes[0]; }
  SShader& vertex() { return pass().Shaders[0]; }
  SShader& pixel() { return pass().Shaders[1]; }

  bool fail(const char* message) {
    error_ = message;
    return false;
  }

  bool parseLine(string_view line) {
    std::optional<string_view> included = afterConditions(line);
    // A line whose condition fails is read as it stands, and its first word GAVO_PP
    // declares nothing: it has no effect.
    if (!included) return true;
    line = *included;
    if (isComment(line) || readHeader(line) || readCompileFlag(line)) return true;
    return readDeclaration(line);
  }

  // What a chain of "//GAVO_PP:D:NAME:" (defined) and "//GAVO_PP:U:NAME:" (not defined)
  // prefixes leaves of the line, or nothing when a condition fails or is malformed.
  std::optional<string_view> afterConditions(string_view line) const {
    static constexpr string_view kPrefix = "//GAVO_PP:";
    while (startsWith(line, kPrefix)) {
      string_view rest = line.substr(kPrefix.size());
      bool wantDefined = startsWith(rest, "D:");
      if (!wantDefined && !startsWith(rest, "U:")) return std::nullopt;
      rest = rest.substr(2);
      std::size_t colon = rest.find(':');
      if (colon == string_view::npos || isCondition(rest.substr(0, colon)) != wantDefined) return std::nullopt;
      line = rest.substr(colon + 1);
    }
    return line;
  }

  bool isCondition(string_view name) const {
    for (const std::string& condition : conditions_)
      if (condition == name) return true;
    return false;
  }

  // "//" and then a character that cannot start a word: "///", "//-", "//*".
  static bool isComment(string_view line) {
    if (!startsWith(line, "//")) return false;
    unsigned char c = line.size() > 2 ? static_cast<unsigned char>(line[2]) : 0;
    return c != ' ' && !(c >= '0' && c <= 'z');
  }

  // The text after "//keyword" and at least one space, or nothing.
  static std::optional<string_view> keywordText(string_view line, string_view keyword) {
    if (!startsWith(line, "//") || !startsWith(line.substr(2), keyword)) return std::nullopt;
    string_view rest = line.substr(2 + keyword.size());
    if (rest.empty() || rest[0] != ' ') return std::nullopt;
    return rest.substr(std::min(rest.find_first_not_of(' '), rest.size()));
  }

  bool readHeader(string_view line) {
    const std::pair<const char*, stringc*> headers[] = {
        {"title", &def_.Title}, {"subject", &def_.Subject}, {"comments", &def_.Comments}};
    for (const auto& [keyword, field] : headers) {
      if (std::optional<string_view> value = keywordText(line, keyword)) {
        *field = text(*value);
        return true;
      }
    }
    return false;
  }

  // Compile flags belong to the effect: only the first pass over the block records them.
  bool readCompileFlag(string_view line) {
    std::optional<string_view> flag = keywordText(line, "cflag");
    if (!flag || flag->empty()) return false;
    if (isFirst_) def_.Annotations.push_back(SParameter("cflag", stringc("USE_") + text(*flag)));
    return true;
  }

  bool readDeclaration(string_view line) {
    Pieces parts = split(line, ":;", true, kMaxParts);
    Pieces tokens = split(parts[0], "\t/ \r\n", false, kMaxTokens);
    if (tokens.empty()) return true;
    Pieces values(parts.begin() + 1, parts.end());
    if (equalsIgnoringCase(tokens[0], "function")) return readFunction(tokens, values);
    if (equalsIgnoringCase(tokens[0], "config")) return readConfig(tokens, values);
    if (equalsIgnoringCase(tokens[0], "texture")) return readTexture(tokens, values);
    return readParameter(tokens, values);
  }

  bool readFunction(const Pieces& tokens, const Pieces& values) {
    if (tokens.size() < 2)
      return fail(formatMessage("entry point has %d tokens0 less than 2", static_cast<int>(tokens.size())));
    if (values.empty()) return fail(formatMessage("entry point has %d tokens less than 1", 0));
    if (equalsIgnoringCase(tokens[1], "vertexMain")) vertex().Entry = text(values[0]);
    if (equalsIgnoringCase(tokens[1], "pixelMain")) pixel().Entry = text(values[0]);
    return true;
  }

  bool readConfig(const Pieces& tokens, const Pieces& values) {
    if (tokens.size() < 2)
      return fail(formatMessage("config has %d tokens0 less than 2", static_cast<int>(tokens.size())));
    for (const SConfigKey& key : kConfigKeys) {
      if (!equalsIgnoringCase(tokens[1], key.Key)) continue;
      if (!key.Fixed && values.empty()) return true;
      stringc value = key.Fixed ? stringc(key.Fixed) : text(values[0]);
      if (string_view(key.Key) == "techniques") value = techniqueList(values[0]);
      switch (key.Place) {
        case EConfigPlace::TechniqueAnnotation: technique().Annotations.push_back(SParameter(key.Key, value)); break;
        case EConfigPlace::PassAnnotation: pass().Annotations.push_back(SParameter(key.Key, value)); break;
        case EConfigPlace::PassState: pass().States.push_back(SState(key.Key, value, "", 0)); break;
      }
      return true;
    }
    return true;
  }

  static stringc techniqueList(string_view value) {
    std::string list;
    for (string_view name : words(value)) list.append(name).append(" ");
    return list.c_str();
  }

  bool readTexture(const Pieces& tokens, const Pieces& values) {
    string_view name;
    s32 unit = 0;
    if (tokens.size() < 2)
      unit = nextUnit_++;
    else if (allDigits(tokens[1]))
      unit = unitNumber(tokens[1]);
    else
      name = tokens[1];
    u32 flags = flagsOf(values, textureFlagFromWord);

    SParameter texture;
    texture.Name = name.empty() ? stringc("Tex_") + technique().Name + "_" + stringc(unit) : text(name);
    texture.Type = (flags & ETF_CUBE) ? EPT_SAMPLERCUBE : (flags & ETF_3D) ? EPT_SAMPLER3D : EPT_SAMPLER2D;
    if (!values.empty()) {
      const char* channel = textureChannelFromWord(values[0]);
      if (flags & ETF_PRESET)
        texture.Semantic = text(values[0]);
      else if (channel)
        texture.Semantic = stringc("LW_Tex_") + channel;
      else
        texture.Sampler.Source = text(values[0]);
    }
    applySamplerWords(flags, texture.Sampler);
    addTextureAnnotations(flags, texture.Annotations);
    addParameter(texture);

    if (!name.empty()) {
      SShader& program = (flags & ETF_VERTEX) ? vertex() : pixel();
      program.Parameters.push_back(SParameter(texture.Name, texture.Name));
    } else {
      const char* kind = texture.Type == EPT_SAMPLERCUBE ? "textureCUBE"
                         : texture.Type == EPT_SAMPLER3D ? "texture3D"
                                                         : "texture2D";
      pass().States.push_back(SState(kind, "", texture.Name, unit));
    }
    return true;
  }

  static void applySamplerWords(u32 flags, SSampler& sampler) {
    auto wrap = [&](const char* s, const char* t, const char* p) {
      sampler.WrapS = s;
      sampler.WrapT = t;
      sampler.WrapP = p;
    };
    if (flags & ETF_REPEAT) wrap("REPEAT", "REPEAT", "REPEAT");
    if (flags & ETF_CLAMP) wrap("CLAMP", "CLAMP", "CLAMP");
    if (flags & ETF_CLAMP_TO_EDGE) wrap("CLAMP_TO_EDGE", "CLAMP_TO_EDGE", "CLAMP_TO_EDGE");
    if (flags & ETF_CLAMP_V) wrap("REPEAT", "CLAMP", "REPEAT");
    if (flags & ETF_CLAMP_TO_EDGE_V) wrap("REPEAT", "CLAMP_TO_EDGE", "REPEAT");
    if (flags & ETF_NO_MIP_MAP) sampler.MipFilter = "NONE";
    if (flags & ETF_FILTER_POINT) sampler.MinFilter = sampler.MagFilter = "NEAREST";
    if (flags & ETF_TRILINEAR) sampler.MipFilter = sampler.MinFilter = sampler.MagFilter = "LINEAR";
  }

  static void addTextureAnnotations(u32 flags, Array<SParameter>& annotations) {
    const struct {
      u32 Flag;
      const char* Name;
      const char* Value;
    } kAnnotations[] = {
        {ETF_R32F, "format", "r32f"},        {ETF_SRGB, "SRGB", "true"},
        {ETF_LINEAR, "SRGB", "false"},       {ETF_IMAGE, "UIWidget", "Image"},
        {ETF_IMAGEREF, "UIWidget", "ImageRef"}, {ETF_DIVIDER, "UIDivider", "before"},
        {ETF_DIVAFTER, "UIDivider", "after"},
    };
    for (const auto& a : kAnnotations)
      if (flags & a.Flag) annotations.push_back(SParameter(a.Name, a.Value));
  }

  bool readParameter(const Pieces& tokens, const Pieces& values) {
    s32 type = parameterTypeFromWord(tokens[0]);
    if (type == EPT_UNKNOWN) return true;
    if (tokens.size() < 2)
      return fail(formatMessage("param line has %d tokens0 less than 2", static_cast<int>(tokens.size())));
    if (values.empty()) return fail(formatMessage("param line has %d tokens less than 1", 0));

    SParameter parameter;
    parameter.Name = text(tokens[1]);
    parameter.Type = type;
    string_view value = values[0];
    const char* channel = startsWith(value, "Surface_") ? surfaceChannelFromWord(value.substr(8)) : nullptr;
    if (const char* semantic = semanticFromWord(value))
      parameter.Semantic = semantic;
    else if (channel)
      parameter.Semantic = stringc("LW_") + channel;
    else
      parameter.Value = defaultValue(value);

    u32 flags = flagsOf(values, parameterFlagFromWord);
    if (flags & EPF_COLOR)
      parameter.Annotations.push_back(SParameter("UIWidget", "Color"));
    else if (flags & EPF_PERCENT)
      parameter.Annotations.push_back(SParameter("UIWidget", "Percent"));
    if (flags & EPF_DIVIDER) parameter.Annotations.push_back(SParameter("UIDivider", "before"));
    if (flags & EPF_DIVAFTER) parameter.Annotations.push_back(SParameter("UIDivider", "after"));
    addParameter(parameter);

    // Placement: "pixel", else "vertex", else "both"; the vertex program by default.
    SParameter reference(parameter.Name, parameter.Name);
    bool toPixel = flags & (EPF_PIXEL | EPF_BOTH);
    bool toVertex = !(flags & EPF_PIXEL);
    if (flags & EPF_VERTEX) toPixel = flags & EPF_PIXEL;
    if (toVertex) vertex().Parameters.push_back(reference);
    if (toPixel) pixel().Parameters.push_back(reference);
    return true;
  }

  static stringc defaultValue(string_view value) {
    std::string numbers;
    for (string_view piece : split(value, ",", true, kMaxValues)) numbers.append(piece).append("  ");
    return numbers.c_str();
  }

  // The first declaration of a name wins, also across techniques.
  void addParameter(const SParameter& parameter) {
    if (!def_.findParameterByName(nullptr, parameter.Name.c_str())) def_.Parameters.push_back(parameter);
  }

  CGvEffectDef& def_;
  std::vector<std::string> conditions_;
  bool isFirst_;
  s32 nextUnit_ = 0;
  const char* error_ = nullptr;
};

SShader program(s32 stage, const char* entry, s32 target, const stringc& source) {
  SShader shader;
  shader.Stage = stage;
  shader.Entry = entry;
  shader.Target = target;
  shader.Source = source;
  return shader;
}

const char* buildTechnique(CGvEffectDef& def, string_view fileText, const stringc& name,
                           std::vector<std::string> conditions, bool isFirst) {
  SPass pass;
  pass.Shaders.push_back(program(ESS_VERTEX, "vs_main", EST_VS_3_0, def.FileName));
  pass.Shaders.push_back(program(ESS_PIXEL, "ps_main", EST_PS_3_0, def.FileName));
  if (!name.empty() && name != "default") {
    const stringc techniqueCondition = stringc("TECH_") + upperAscii(name);
    for (const stringc& condition : {stringc("TECH_NDFLT"), techniqueCondition}) {
      conditions.push_back(condition.c_str());
      for (u32 i = 0; i < pass.Shaders.size(); ++i) pass.Shaders[i].Macros.push_back(stringc("#define USE_") + condition);
    }
  }
  STechnique technique;
  technique.Name = name;
  technique.Passes.push_back(pass);
  def.Techniques.push_back(technique);
  return CTechniqueReader(def, std::move(conditions), isFirst).read(fileText);
}

// The loader's macros as condition names: "USE_GLOW" is tested as GLOW.
std::vector<std::string> conditionsFrom(const CGvMacro* macros) {
  std::vector<std::string> conditions;
  for (const CGvMacro* m = macros; m && m->Name; ++m) {
    string_view name = m->Name;
    conditions.emplace_back(startsWith(name, "USE_") ? name.substr(4) : name);
  }
  return conditions;
}

}  // namespace

const char* readGavoEffectText(CGvEffectDef& def, std::string_view fileText, const CGvMacro* macros) {
  fileText = fileText.substr(0, fileText.find('\0'));
  const std::vector<std::string> conditions = conditionsFrom(macros);
  if (const char* error = buildTechnique(def, fileText, "", conditions, true)) return error;
  // Copied out: building techniques grows the array that holds the annotation.
  std::vector<std::string> names;
  if (const SParameter* list = def.findAnnotation(&def.Techniques[0], "techniques"))
    for (string_view name : split(list->Value.c_str(), " ", false, SIZE_MAX)) names.emplace_back(name);
  for (const std::string& name : names)
    if (const char* error = buildTechnique(def, fileText, name.c_str(), conditions, false)) return error;
  return nullptr;
}

bool CGvEffectDefLoaderGavo::isALoadableFileExtension(const char* fileName) const {
  string_view name = fileName;
  std::size_t dot = name.rfind('.');
  if (dot == string_view::npos) return false;
  string_view extension = name.substr(dot + 1);
  return equalsIgnoringCase(extension, "hlsl") || equalsIgnoringCase(extension, "fx");
}

IGvEffectDef* CGvEffectDefLoaderGavo::createEffectDef(const char* path, const CGvMacro* macros, bool isOpenGL,
                                                      const char** errorText) {
  auto* def = new CGvEffectDefGavo(absolutePath(path).c_str(), isOpenGL);
  std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path);
  if (!bytes)
    *errorText = formatMessage("Cannot open file");
  else if (bytes->empty())
    *errorText = formatMessage("Error");
  else
    *errorText = readGavoEffectText(
        *def, string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), macros);
  return def;
}

}  // namespace gv
