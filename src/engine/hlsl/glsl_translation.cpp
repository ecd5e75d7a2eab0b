#include "engine/hlsl/glsl_translation.h"

#include "engine/hlsl/global_defaults.h"

#include <spirv-tools/libspirv.hpp>
#include <spirv_cross/spirv_glsl.hpp>

#include <algorithm>
#include <cctype>
#include <map>

namespace gv::engine {
namespace {

using spirv_cross::CompilerGLSL;
using spirv_cross::Resource;

std::string semanticOf(const CompilerGLSL& compiler, const Resource& resource) {
  std::string semantic = compiler.get_decoration_string(resource.id, spv::DecorationUserSemantic);
  std::transform(semantic.begin(), semantic.end(), semantic.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  // TEXCOORD and COLOR without a number mean number 0.
  if (!semantic.empty() && !std::isdigit(static_cast<unsigned char>(semantic.back())) &&
      (semantic == "TEXCOORD" || semantic == "COLOR"))
    semantic += '0';
  return semantic;
}

// The array Irrlicht's OpenGL driver feeds for a vertex input semantic, with its size.
struct SVertexArray {
  std::string Name;
  unsigned Size = 0;
};

SVertexArray vertexArrayFor(const std::string& semantic) {
  if (semantic == "POSITION" || semantic == "POSITION0") return {"gl_Vertex", 4};
  if (semantic == "NORMAL" || semantic == "NORMAL0") return {"gl_Normal", 3};
  if (semantic == "COLOR0") return {"gl_Color", 4};
  if (semantic == "COLOR1") return {"gl_SecondaryColor", 4};
  // Irrlicht's tangent vertices carry tangent and binormal in texture coordinates 1 and 2.
  if (semantic == "TANGENT" || semantic == "TANGENT0") return {"gl_MultiTexCoord1", 4};
  if (semantic == "BINORMAL" || semantic == "BINORMAL0") return {"gl_MultiTexCoord2", 4};
  if (semantic.size() == 9 && semantic.compare(0, 8, "TEXCOORD") == 0 && semantic[8] <= '7')
    return {std::string("gl_MultiTexCoord") + semantic[8], 4};
  return {};
}

// `source` (a vector of `sourceSize`) read as a float vector of `size` components.
std::string resized(const std::string& source, unsigned sourceSize, unsigned size) {
  static const char* const kSwizzles[] = {"", ".x", ".xy", ".xyz", ""};
  if (size <= sourceSize) return "(" + source + kSwizzles[size < 4 ? size : 0] + ")";
  return "vec4(" + source + ", 1.0)";
}

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Position of `word` standing on its own at or after `from`, or npos.
size_t findWord(const std::string& text, const std::string& word, size_t from = 0) {
  for (size_t at = text.find(word, from); at != std::string::npos; at = text.find(word, at + 1)) {
    const size_t end = at + word.size();
    if ((at == 0 || !isWordChar(text[at - 1])) && (end == text.size() || !isWordChar(text[end])))
      return at;
  }
  return std::string::npos;
}

// Every use of `word` on its own replaced by `replacement`.
std::string replaceWord(const std::string& text, const std::string& word,
                        const std::string& replacement) {
  std::string result;
  size_t copied = 0;
  for (size_t at = findWord(text, word); at != std::string::npos;
       at = findWord(text, word, at + word.size())) {
    result.append(text, copied, at - copied).append(replacement);
    copied = at + word.size();
  }
  return result.append(text, copied, std::string::npos);
}

// A stage variable declared on one line of the generated text: "[qualifiers] in|out TYPE NAME;".
struct SDeclaration {
  std::string Direction, Type, Name;
};

bool parseDeclaration(const std::string& line, SDeclaration& out) {
  std::vector<std::string> words;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
    const size_t start = at;
    while (at < line.size() && !std::isspace(static_cast<unsigned char>(line[at]))) ++at;
    if (at > start) words.push_back(line.substr(start, at - start));
  }
  if (words.size() < 3 || words.back().size() < 2 || words.back().back() != ';') return false;
  const std::string& direction = words[words.size() - 3];
  if (direction != "in" && direction != "out") return false;
  out = {direction, words[words.size() - 2], words.back().substr(0, words.back().size() - 1)};
  return true;
}

// Calls `visit` with each line (without its line end) and its offset.
template <typename Visit>
void forEachLine(const std::string& text, Visit&& visit) {
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    visit(text.substr(start, end - start), start);
    start = end + 1;
  }
}

// Removes the declaration of `name` (one line) and reads it through `replacement` instead.
void replaceDeclaration(std::string& glsl, std::string& defines, const std::string& name,
                        const std::string& replacement) {
  size_t lineStart = std::string::npos, lineLength = 0;
  forEachLine(glsl, [&](const std::string& line, size_t start) {
    SDeclaration declaration;
    if (lineStart == std::string::npos && parseDeclaration(line, declaration) &&
        declaration.Name == name) {
      lineStart = start;
      lineLength = line.size();
    }
  });
  if (lineStart != std::string::npos) glsl.erase(lineStart, lineLength);
  defines += "#define " + name + " " + replacement + "\n";
}

struct SStageFixups {
  std::string Defines;
  std::vector<std::pair<std::string, std::string>> Replacements;  // variable, expression
};

void renameStageIO(CompilerGLSL& compiler, const spirv_cross::ShaderResources& resources,
                   bool isVertex, SStageFixups& fixups) {
  for (const Resource& input : resources.stage_inputs) {
    const std::string semantic = semanticOf(compiler, input);
    const unsigned size = compiler.get_type(input.type_id).vecsize;
    compiler.unset_decoration(input.id, spv::DecorationLocation);
    if (isVertex) {
      const SVertexArray array = vertexArrayFor(semantic);
      compiler.set_name(input.id, "gv_in_" + semantic);
      if (!array.Name.empty())
        fixups.Replacements.push_back(
            {"gv_in_" + semantic, resized(array.Name, array.Size, size)});
    } else if (semantic == "VPOS") {
      compiler.set_name(input.id, "gv_in_VPOS");
      fixups.Defines +=
          "layout(origin_upper_left, pixel_center_integer) in vec4 gl_FragCoord;\n";
      fixups.Replacements.push_back({"gv_in_VPOS", resized("gl_FragCoord", 4, size)});
    } else if (semantic == "VFACE") {
      compiler.set_name(input.id, "gv_in_VFACE");
      fixups.Replacements.push_back({"gv_in_VFACE", "(gl_FrontFacing ? 1.0 : -1.0)"});
    } else {
      compiler.set_name(input.id, "gv_var_" + semantic);
    }
  }
  if (!isVertex) return;
  for (const Resource& output : resources.stage_outputs) {
    const std::string semantic = semanticOf(compiler, output);
    compiler.unset_decoration(output.id, spv::DecorationLocation);
    compiler.set_name(output.id, "gv_var_" + semantic);
    if (semantic == "POSITION" || semantic == "POSITION0")
      fixups.Replacements.push_back({"gv_var_" + semantic, "gl_Position"});
  }
}

// Registers per element and the bytes each fills. HLSL matrices arrive row-major with a
// register per row of the compiled type; vectors and scalars take one register.
void describeRegisters(const CompilerGLSL& compiler, const spirv_cross::SPIRType& block,
                       std::uint32_t index, SShaderConstantDesc& constant) {
  const spirv_cross::SPIRType& member = compiler.get_type(block.member_types[index]);
  constant.Type = member.basetype == spirv_cross::SPIRType::Float
                      ? EShaderConstantType::Float
                      : EShaderConstantType::Integer;
  std::uint32_t registersPerElement = 1;
  constant.RegisterBytes = 4 * member.vecsize;
  if (member.columns > 1) {
    const bool rowMajor = compiler.has_member_decoration(block.self, index, spv::DecorationRowMajor);
    // The compiled type swaps HLSL's rows and columns, so its row-major layout is HLSL's
    // column_major one.
    constant.ColumnRegisters = rowMajor;
    registersPerElement = rowMajor ? member.vecsize : member.columns;
    constant.RegisterBytes = 4 * (rowMajor ? member.columns : member.vecsize);
  }
  constant.Elements = 1;
  constant.ElementStride = constant.Size;
  if (!member.array.empty()) {
    for (std::uint32_t length : member.array) constant.Elements *= length;
    constant.ElementStride = compiler.type_struct_member_array_stride(block, index);
  }
  constant.RegisterCount = static_cast<std::int32_t>(constant.Elements * registersPerElement);
}

void describeConstants(CompilerGLSL& compiler, const spirv_cross::ShaderResources& resources,
                       bool isVertex, const std::vector<SGlobalDefault>& defaults,
                       SShaderConstantTable& table) {
  if (resources.uniform_buffers.empty()) return;
  const Resource& block = resources.uniform_buffers.front();
  const spirv_cross::SPIRType& type = compiler.get_type(block.base_type_id);
  table.BlockName = isVertex ? "gv_VertexConstants" : "gv_PixelConstants";
  compiler.set_name(block.base_type_id, table.BlockName);
  compiler.unset_decoration(block.id, spv::DecorationBinding);
  table.BufferSize = static_cast<std::uint32_t>(compiler.get_declared_struct_size(type));
  // All globals of the file stay in the block; like Direct3D 9's constant tables, list only
  // those the program uses.
  std::vector<bool> used(type.member_types.size(), false);
  for (const spirv_cross::BufferRange& range : compiler.get_active_buffer_ranges(block.id))
    used[range.index] = true;
  for (std::uint32_t i = 0; i < type.member_types.size(); ++i) {
    if (!used[i]) continue;
    SShaderConstantDesc constant;
    constant.Name = compiler.get_member_name(block.base_type_id, i);
    constant.Offset = compiler.type_struct_member_offset(type, i);
    constant.Size = static_cast<std::uint32_t>(compiler.get_declared_struct_member_size(type, i));
    describeRegisters(compiler, type, i, constant);
    for (const SGlobalDefault& entry : defaults)
      if (entry.Name == constant.Name) constant.Default = entry.Values;
    table.Constants.push_back(constant);
  }
  // Direct3D 9 gives every used constant registers of its own, in declaration order.
  std::sort(table.Constants.begin(), table.Constants.end(),
            [](const auto& a, const auto& b) { return a.Offset < b.Offset; });
  std::int32_t next = 0;
  for (SShaderConstantDesc& constant : table.Constants) {
    constant.RegisterIndex = next;
    next += constant.RegisterCount;
  }
}

// Units are the compiler's bindings (the sampler registers); returns the samplers' ids in
// unit order.
std::vector<std::uint32_t> describeSamplers(CompilerGLSL& compiler,
                                            const spirv_cross::ShaderResources& resources,
                                            SShaderConstantTable& table) {
  std::vector<std::pair<std::uint32_t, const Resource*>> samplers;
  for (const Resource& sampler : resources.sampled_images)
    samplers.push_back({compiler.get_decoration(sampler.id, spv::DecorationBinding), &sampler});
  std::sort(samplers.begin(), samplers.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::uint32_t> ids;
  for (const auto& [binding, sampler] : samplers) {
    compiler.unset_decoration(sampler->id, spv::DecorationBinding);
    ids.push_back(sampler->id);
    table.Samplers.push_back(
        {compiler.get_name(sampler->id), "", static_cast<std::int32_t>(binding)});
  }
  return ids;
}

// HLSL fmod keeps the sign of x; GLSL mod does not.
const char* kFmod =
    "float gv_fmod(float x, float y) { return x - y * trunc(x / y); }\n"
    "vec2 gv_fmod(vec2 x, vec2 y) { return x - y * trunc(x / y); }\n"
    "vec3 gv_fmod(vec3 x, vec3 y) { return x - y * trunc(x / y); }\n"
    "vec4 gv_fmod(vec4 x, vec4 y) { return x - y * trunc(x / y); }\n";

std::string finishText(std::string glsl, const SStageFixups& fixups) {
  std::string defines = fixups.Defines;
  for (const auto& [name, expression] : fixups.Replacements)
    replaceDeclaration(glsl, defines, name, expression);
  if (findWord(glsl, "mod") != std::string::npos) {
    glsl = replaceWord(glsl, "mod", "gv_fmod");
    defines += kFmod;
  }
  const size_t firstLineEnd = glsl.find('\n');
  return "#version 330 compatibility\n" + defines + glsl.substr(firstLineEnd + 1);
}

}  // namespace

const SShaderConstantDesc* SShaderConstantTable::findConstant(const std::string& name) const {
  for (const auto& constant : Constants)
    if (constant.Name == name) return &constant;
  return nullptr;
}

const SShaderSamplerDesc* SShaderConstantTable::findSampler(const std::string& name) const {
  for (const auto& sampler : Samplers)
    if (sampler.Name == name) return &sampler;
  return nullptr;
}

bool SShaderConstantDesc::operator==(const SShaderConstantDesc& other) const {
  return Name == other.Name && RegisterIndex == other.RegisterIndex &&
         RegisterCount == other.RegisterCount && Offset == other.Offset && Size == other.Size &&
         Type == other.Type && Elements == other.Elements &&
         ElementStride == other.ElementStride && RegisterBytes == other.RegisterBytes &&
         ColumnRegisters == other.ColumnRegisters && Default == other.Default;
}

bool SShaderConstantTable::operator==(const SShaderConstantTable& other) const {
  return BufferSize == other.BufferSize && BlockName == other.BlockName &&
         Constants == other.Constants && Samplers == other.Samplers;
}

namespace {

unsigned componentsOf(const std::string& glslType) {
  if (glslType.size() == 4 && glslType.compare(0, 3, "vec") == 0) return glslType[3] - '0';
  return 1;
}

// `name` (written with `writtenType`) read as `readType`.
std::string readAs(const std::string& name, const std::string& writtenType,
                   const std::string& readType) {
  static const char* const kSwizzles[] = {"", ".x", ".xy", ".xyz", ".xyzw"};
  static const char* const kFill[] = {"", "0.0", "0.0", "0.0", "1.0"};
  const unsigned written = componentsOf(writtenType), read = componentsOf(readType);
  if (read < written) return "(" + name + kSwizzles[read] + ")";
  std::string expression = readType + "(" + name;
  for (unsigned i = written + 1; i <= read; ++i) expression += std::string(", ") + kFill[i];
  return expression + ")";
}

}  // namespace

void matchInterpolators(const std::string& vertexGlsl, std::string& pixelGlsl) {
  std::map<std::string, std::string> written;  // vertex output -> its type
  forEachLine(vertexGlsl, [&](const std::string& line, size_t) {
    SDeclaration declaration;
    if (parseDeclaration(line, declaration) && declaration.Direction == "out")
      written[declaration.Name] = declaration.Type;
  });
  std::string matched;
  struct SRead {
    std::string Name, Declaration, Expression;
  };
  std::vector<SRead> reads;
  forEachLine(pixelGlsl, [&](const std::string& line, size_t) {
    SDeclaration input;
    if (!parseDeclaration(line, input) || input.Direction != "in" ||
        input.Name.compare(0, 7, "gv_var_") != 0) {
      matched += line + "\n";
      return;
    }
    const auto output = written.find(input.Name);
    if (output == written.end()) {
      matched += "const " + input.Type + " " + input.Name + " = " + input.Type + "(0);\n";
    } else if (output->second != input.Type) {
      const std::string declaration = "in " + output->second + " " + input.Name + ";";
      matched += declaration + "\n";
      reads.push_back({input.Name, declaration, readAs(input.Name, output->second, input.Type)});
    } else {
      matched += line + "\n";
    }
  });
  // The uses after the declarations read the components the pixel program asked for.
  for (const SRead& read : reads) {
    const size_t after = matched.find(read.Declaration) + read.Declaration.size();
    matched = matched.substr(0, after) + replaceWord(matched.substr(after), read.Name, read.Expression);
  }
  pixelGlsl = std::move(matched);
}

bool isValidSpirvModule(const ShaderCode& code) {
  constexpr std::uint32_t kMagic = 0x07230203;
  if (code.empty() || code[0] != kMagic) return false;
  // The translator trusts its input: a single flipped bit in an id can make it read out of
  // bounds, so everything read back from files passes the full validator first.
  static const spvtools::SpirvTools validator(SPV_ENV_VULKAN_1_0);
  return validator.Validate(code);
}

bool translateToGLSL(const ShaderCode& code, bool isVertex, STranslatedShader& out,
                     std::string* errors) {
  try {
    CompilerGLSL compiler(code);
    CompilerGLSL::Options options;
    options.version = 330;
    options.es = false;
    options.enable_420pack_extension = false;
    compiler.set_common_options(options);
    const spirv_cross::ShaderResources resources = compiler.get_shader_resources();
    STranslatedShader result;
    SStageFixups fixups;
    renameStageIO(compiler, resources, isVertex, fixups);
    describeConstants(compiler, resources, isVertex, readGlobalDefaults(code), result.Table);
    const std::vector<std::uint32_t> samplerIds =
        describeSamplers(compiler, resources, result.Table);
    std::string glsl = compiler.compile();
    // Names are final only after compiling (reserved words get renamed).
    for (size_t i = 0; i < result.Table.Samplers.size(); ++i)
      result.Table.Samplers[i].GlslName = compiler.get_name(samplerIds[i]);
    result.Glsl = finishText(std::move(glsl), fixups);
    out = std::move(result);
    return true;
  } catch (const std::exception& e) {
    if (errors) *errors = std::string("GLSL translation failed: ") + e.what();
    return false;
  }
}

}  // namespace gv::engine
