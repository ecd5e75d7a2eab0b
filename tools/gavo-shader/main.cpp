// gavo-shader compile FILE ENTRY TARGET [NAME=VALUE...] [--glsl]: compiles one HLSL program
// as the engine does and prints the compiler's message, or the program's constant table (and
// the GLSL text given to OpenGL).
#include "engine/hlsl/glsl_translation.h"
#include "engine/hlsl/hlsl_compiler.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <list>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int usage() {
  std::cerr << "usage: gavo-shader compile FILE ENTRY vs_3_0|ps_3_0 [NAME=VALUE...] [--glsl]\n"
               "  compiles one program as the engine does; prints the compiler's message with\n"
               "  file and line, or the constant table (and with --glsl the GLSL text)\n";
  return kUsage;
}

std::string directoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// Finds included files in the source file's directory and in the directories of the files
// included so far, as the engine's include callback does.
class DirectoryIncludes : public gv::engine::IIncludeCallback {
 public:
  explicit DirectoryIncludes(const std::string& sourceFile) {
    directories_.push_back(directoryOf(sourceFile));
  }
  bool Open(const char* name, const void** data, irr::u32* size) override {
    for (const std::string& directory : directories_) {
      const std::string path = directory + "/" + name;
      std::ifstream file(path, std::ios::binary);
      if (!file) continue;
      std::ostringstream text;
      text << file.rdbuf();
      const std::string& opened = texts_.emplace_back(text.str());
      const std::string found = directoryOf(path);
      if (std::find(directories_.begin(), directories_.end(), found) == directories_.end())
        directories_.push_back(found);
      *data = opened.data();
      *size = static_cast<irr::u32>(opened.size());
      return true;
    }
    return false;
  }
  void Close(const void* data) override {
    texts_.remove_if([data](const std::string& text) { return text.data() == data; });
  }

 private:
  std::vector<std::string> directories_;
  std::list<std::string> texts_;
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
  for (int i = 5; i < argc; ++i) {
    if (std::strcmp(argv[i], "--glsl") == 0) {
      printGlsl = true;
    } else if (std::strcmp(argv[i], "--cache") == 0) {
      std::cerr << "gavo-shader: --cache is not available yet\n";
      return kUsage;
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
  std::ifstream input(file, std::ios::binary);
  if (!input) {
    std::cerr << "gavo-shader: cannot read " << file << "\n";
    return kFailed;
  }
  std::ostringstream source;
  source << input.rdbuf();

  DirectoryIncludes includes(file);
  const std::vector<gv::CGvMacro> macroList = macros.list();
  gv::engine::ShaderCode code;
  std::string errors;
  const bool isVertex = vertexTarget >= 0;
  const bool compiled =
      isVertex ? gv::engine::compileHLSLVertexShader(
                     source.str().c_str(), entry.c_str(),
                     irr::video::E_VERTEX_SHADER_TYPE(vertexTarget), macroList.data(), &includes,
                     code, &errors, file.c_str())
               : gv::engine::compileHLSLPixelShader(
                     source.str().c_str(), entry.c_str(),
                     irr::video::E_PIXEL_SHADER_TYPE(pixelTarget), macroList.data(), &includes,
                     code, &errors, file.c_str());
  gv::engine::STranslatedShader shader;
  if (!compiled || !gv::engine::translateToGLSL(code, isVertex, shader, &errors)) {
    std::cerr << errors;
    return kFailed;
  }
  printTable(shader.Table);
  if (printGlsl) std::cout << shader.Glsl;
  return 0;
}
