#pragma once
// A stand-in for the driver's shader additions: "compiles" by reading the source's includes
// through the callback and returns a small valid SPIR-V module carrying a serial number, so
// tests can tell which compile produced the code a material received.
#include <map>
#include <string>
#include <vector>

#include "engine/hlsl/shader_programming.h"

namespace gv::test {

struct FakeProgrammingLog {
  int compiles = 0;
  int tableFetches = 0;
  std::vector<std::string> compiledSources;
  std::vector<int> macroCounts;
  // material type -> serials of the vertex and pixel code it holds now
  std::map<irr::s32, std::pair<std::uint32_t, std::uint32_t>> materials;
  int updates = 0;
};

// The smallest valid module (an empty compute entry point) with `serial` as its source
// version, so that tests can tell which compile produced a piece of code.
inline engine::ShaderCode fakeModule(std::uint32_t serial) {
  return {0x07230203, 0x00010000, 0, 5, 0,
          (2u << 16) | 17, 1,                                 // OpCapability Shader
          (3u << 16) | 14, 0, 1,                              // OpMemoryModel Logical GLSL450
          (5u << 16) | 15, 5, 4, 0x6e69616d, 0,               // OpEntryPoint GLCompute %4 "main"
          (6u << 16) | 16, 4, 17, 1, 1, 1,                    // OpExecutionMode %4 LocalSize 1 1 1
          (3u << 16) | 3, 0, serial,                          // OpSource Unknown serial
          (2u << 16) | 19, 1,                                 // %1 = OpTypeVoid
          (3u << 16) | 33, 2, 1,                              // %2 = OpTypeFunction %1
          (5u << 16) | 54, 1, 4, 0, 2,                        // %4 = OpFunction %1 None %2
          (2u << 16) | 248, 3,                                // %3 = OpLabel
          (1u << 16) | 253,                                   // OpReturn
          (1u << 16) | 56};                                   // OpFunctionEnd
}

inline std::uint32_t codeSerial(const engine::ShaderCode& code) { return code.at(23); }

class FakeShaderProgramming final : public engine::IShaderProgramming {
 public:
  explicit FakeShaderProgramming(FakeProgrammingLog& log) : log_(log) {}

  // Sources containing FAIL_HERE do not compile; the message has a "memory(" position.
  bool compileHLSLVertexShader(const char* source, const char*, irr::video::E_VERTEX_SHADER_TYPE,
                               const CGvMacro* macros, engine::IIncludeCallback* includes,
                               engine::ShaderCode& code, std::string* errors,
                               const char*) override {
    return compile(source, macros, includes, code, errors);
  }
  bool compileHLSLPixelShader(const char* source, const char*, irr::video::E_PIXEL_SHADER_TYPE,
                              const CGvMacro* macros, engine::IIncludeCallback* includes,
                              engine::ShaderCode& code, std::string* errors,
                              const char*) override {
    return compile(source, macros, includes, code, errors);
  }

  irr::s32 addHighLevelShaderMaterialFromTokens(const engine::ShaderCode* vertexCode,
                                                const engine::ShaderCode* pixelCode,
                                                const engine::ShaderCode*,
                                                irr::scene::E_PRIMITIVE_TYPE,
                                                irr::scene::E_PRIMITIVE_TYPE, irr::u32,
                                                irr::video::IShaderConstantSetCallBack*,
                                                irr::video::E_MATERIAL_TYPE,
                                                irr::s32) override {
    const irr::s32 id = nextMaterial_++;
    log_.materials[id] = {codeSerial(*vertexCode), codeSerial(*pixelCode)};
    return id;
  }

  bool updateHighLevelShaderMaterialFromTokens(irr::s32 materialType,
                                               const engine::ShaderCode* vertexCode,
                                               const engine::ShaderCode* pixelCode,
                                               const engine::ShaderCode*) override {
    auto found = log_.materials.find(materialType);
    if (found == log_.materials.end()) return false;
    ++log_.updates;
    if (vertexCode) found->second.first = codeSerial(*vertexCode);
    if (pixelCode) found->second.second = codeSerial(*pixelCode);
    return true;
  }

  // Every material has the same tables: Tint at register 0, World at 1-4, Diffuse on unit 2.
  bool getMaterialTypeConstantTables(irr::s32 materialType, engine::SShaderConstantTable& vertex,
                                     engine::SShaderConstantTable& pixel) override {
    ++log_.tableFetches;
    if (!log_.materials.count(materialType)) return false;
    vertex = {};
    vertex.Constants = {constant("World", 0, 4)};
    vertex.BufferSize = 64;
    pixel = {};
    pixel.Constants = {constant("Tint", 0, 1), constant("Scale", 1, 1)};
    engine::SShaderSamplerDesc diffuse;
    diffuse.Name = "Diffuse";
    diffuse.Unit = 2;
    pixel.Samplers = {diffuse};
    pixel.BufferSize = 32;
    return true;
  }

 private:
  static engine::SShaderConstantDesc constant(const char* name, irr::s32 first, irr::s32 count) {
    engine::SShaderConstantDesc desc;
    desc.Name = name;
    desc.RegisterIndex = first;
    desc.RegisterCount = count;
    return desc;
  }

  bool compile(const char* source, const CGvMacro* macros, engine::IIncludeCallback* includes,
               engine::ShaderCode& code, std::string* errors) {
    ++log_.compiles;
    std::string text = source;
    log_.compiledSources.push_back(text);
    int count = 0;
    for (const CGvMacro* m = macros; m && m->Name; ++m) ++count;
    log_.macroCounts.push_back(count);
    if (!openIncludes(text, includes, errors)) return false;
    if (text.find("FAIL_HERE") != std::string::npos) {
      *errors = "prefix noise memory(3,1): error X3000: syntax error";
      return false;
    }
    code = fakeModule(static_cast<std::uint32_t>(++serial_));
    return true;
  }

  // Opens every quoted include, depth first, as a compiler would.
  static bool openIncludes(const std::string& text, engine::IIncludeCallback* includes,
                           std::string* errors) {
    for (size_t at = text.find("#include \""); at != std::string::npos;
         at = text.find("#include \"", at + 1)) {
      const size_t open = at + 10, close = text.find('"', open);
      const std::string name = text.substr(open, close - open);
      const void* data = nullptr;
      irr::u32 size = 0;
      if (!includes->Open(name.c_str(), &data, &size)) {
        *errors = "cannot open include " + name;
        return false;
      }
      const bool ok = openIncludes(std::string(static_cast<const char*>(data), size), includes,
                                   errors);
      includes->Close(data);
      if (!ok) return false;
    }
    return true;
  }

  FakeProgrammingLog& log_;
  irr::s32 nextMaterial_ = 30;
  int serial_ = 0;
};

}  // namespace gv::test
