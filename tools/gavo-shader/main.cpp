// gavo-shader compile FILE ENTRY TARGET [NAME=VALUE...] [--glsl] [--cache DIR]: compiles one
// HLSL program as the engine does (includes, macros, compiled-shader cache) and prints the
// compiler's message, or the program's constant table (and the GLSL text given to OpenGL).
#include "app/log/log.h"
#include "effects/shaders/gpu_programming_services.h"
#include "effects/shaders/shader_cache.h"
#include "engine/hlsl/glsl_translation.h"
#include "engine/hlsl/hlsl_compiler.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int usage() {
  std::cerr << "usage: gavo-shader compile FILE ENTRY vs_3_0|ps_3_0 [NAME=VALUE...] [--glsl]\n"
               "                   [--cache DIR]\n"
               "  compiles one program as the engine does; prints the compiler's message with\n"
               "  file and line, or the constant table (and with --glsl the GLSL text);\n"
               "  with --cache, takes the program from the compiled-shader cache in DIR when it\n"
               "  is there and up to date, and stores it there otherwise\n";
  return kUsage;
}

// The engine's compiler without a driver: programs compile, materials are not made here.
class CompilerOnly final : public gv::engine::IShaderProgramming {
 public:
  explicit CompilerOnly(int& compiles) : compiles_(compiles) {}
  bool compileHLSLVertexShader(const char* source, const char* entry,
                               irr::video::E_VERTEX_SHADER_TYPE target, const gv::CGvMacro* macros,
                               gv::engine::IIncludeCallback* includes, gv::engine::ShaderCode& code,
                               std::string* errors, const char* sourceName) override {
    ++compiles_;
    return gv::engine::compileHLSLVertexShader(source, entry, target, macros, includes, code,
                                               errors, sourceName);
  }
  bool compileHLSLPixelShader(const char* source, const char* entry,
                              irr::video::E_PIXEL_SHADER_TYPE target, const gv::CGvMacro* macros,
                              gv::engine::IIncludeCallback* includes, gv::engine::ShaderCode& code,
                              std::string* errors, const char* sourceName) override {
    ++compiles_;
    return gv::engine::compileHLSLPixelShader(source, entry, target, macros, includes, code,
                                              errors, sourceName);
  }
  irr::s32 addHighLevelShaderMaterialFromTokens(const gv::engine::ShaderCode*,
                                                const gv::engine::ShaderCode*,
                                                const gv::engine::ShaderCode*,
                                                irr::scene::E_PRIMITIVE_TYPE,
                                                irr::scene::E_PRIMITIVE_TYPE, irr::u32,
                                                irr::video::IShaderConstantSetCallBack*,
                                                irr::video::E_MATERIAL_TYPE, irr::s32) override {
    return -1;
  }
  bool updateHighLevelShaderMaterialFromTokens(irr::s32, const gv::engine::ShaderCode*,
                                               const gv::engine::ShaderCode*,
                                               const gv::engine::ShaderCode*) override {
    return false;
  }
  bool getMaterialTypeConstantTables(irr::s32, gv::engine::SShaderConstantTable&,
                                     gv::engine::SShaderConstantTable&) override {
    return false;
  }

 private:
  int& compiles_;
};

// Owns the texts the macro list points to.
struct SMacroArguments {
  void add(const std::string& argument) {
    const size_t equals = argument.find('=');
    names.push_back(argument.substr(0, equals));
    definitions.push_back(equals == std::string::npos ? "" : argument.substr(equals + 1));
  }
  std::vector<gv::CGvMacro> list() const {
    std::vector<gv::CGvMacro> macros;
    for (size_t i = 0; i < names.size(); ++i)
      macros.push_back({names[i].c_str(), definitions[i].c_str()});
    macros.push_back({nullptr, nullptr});
    return macros;
  }
  std::vector<std::string> names, definitions;
};

template <size_t N>
int findTarget(const char* const (&names)[N], int count, const std::string& target) {
  for (int i = 0; i < count && i < static_cast<int>(N); ++i)
    if (target == names[i]) return i;
  return -1;
}

void printTable(const gv::engine::SShaderConstantTable& table) {
  for (const auto& constant : table.Constants)
    std::printf("Name='%s' RegisterIndex=%d RegisterCount=%d\n", constant.Name.c_str(),
                constant.RegisterIndex, constant.RegisterCount);
  for (const auto& sampler : table.Samplers)
    std::printf("Sampler='%s' Unit=%d\n", sampler.Name.c_str(), sampler.Unit);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || std::strcmp(argv[1], "compile") != 0) return usage();
  const std::string file = argv[2], entry = argv[3], target = argv[4];
  SMacroArguments macros;
  bool printGlsl = false;
  std::string cacheDirectory;
  for (int i = 5; i < argc; ++i) {
    if (std::strcmp(argv[i], "--glsl") == 0) {
      printGlsl = true;
    } else if (std::strcmp(argv[i], "--cache") == 0) {
      if (++i == argc) return usage();
      cacheDirectory = argv[i];
    } else {
      macros.add(argv[i]);
    }
  }
  const int vertexTarget =
      findTarget(irr::video::VERTEX_SHADER_TYPE_NAMES, irr::video::EVST_COUNT, target);
  const int pixelTarget =
      findTarget(irr::video::PIXEL_SHADER_TYPE_NAMES, irr::video::EPST_COUNT, target);
  if (vertexTarget < 0 && pixelTarget < 0) {
    std::cerr << "gavo-shader: unknown target " << target << " (vs_3_0 or ps_3_0)\n";
    return kUsage;
  }
  const bool isVertex = vertexTarget >= 0;

  // The engine's file system without a window: includes and the cache read as in the engine.
  irr::SIrrlichtCreationParameters parameters;
  parameters.DriverType = irr::video::EDT_NULL;
  parameters.LoggingLevel = irr::ELL_NONE;
  irr::IrrlichtDevice* device = irr::createDeviceEx(parameters);
  if (!device) {
    std::cerr << "gavo-shader: cannot start the engine's file system\n";
    return kFailed;
  }
  int status = kFailed;
  {
    int compiles = 0;
    gv::CGvGPUProgrammingServices services(device, std::make_unique<CompilerOnly>(compiles));
    services.setCacheDirectory(cacheDirectory,
                               gv::ESCM_READ | gv::ESCM_CHECK_TIMES | gv::ESCM_WRITE);
    const std::vector<gv::CGvMacro> macroList = macros.list();
    std::string errors;
    irr::s32 id = -1;
    const gv::engine::ShaderCode* code = services.getCompiledShader(
        file.c_str(), entry.c_str(), isVertex, isVertex ? vertexTarget : pixelTarget,
        macroList.data(), &errors, id);
    gv::engine::STranslatedShader shader;
    if (!code || !gv::engine::translateToGLSL(*code, isVertex, shader, &errors)) {
      std::cerr << errors << "\n";
    } else {
      if (compiles == 0)
        std::cerr << "gavo-shader: taken from the compiled-shader cache in " << cacheDirectory
                  << "\n";
      printTable(shader.Table);
      if (printGlsl) std::cout << shader.Glsl;
      status = 0;
    }
  }
  device->drop();
  return status;
}
