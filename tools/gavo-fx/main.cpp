// gavo-fx info FILE [MACRO=VALUE...]: prints the definition an effect file yields, as the
// engine reads it (Gavo effect files "hlsl" / "fx", COLLADA FX "dae" / "xml").
#include "effects/defs/collada_effect_loader.h"
#include "effects/defs/gavo_effect_loader.h"
#include "effect_report.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int usage() {
  std::cerr << "usage: gavo-fx info FILE [MACRO=VALUE...]\n"
               "  prints the techniques, passes, programs, parameters and states that the\n"
               "  engine reads from an effect file (.hlsl, .fx, .dae, .xml); the macros are\n"
               "  those a surface would pass (NAME or NAME=VALUE)\n";
  return kUsage;
}

// Owns the texts the CGvMacro list points to.
struct SMacroArguments {
  explicit SMacroArguments(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
      std::size_t equals = argument.find('=');
      names.push_back(argument.substr(0, equals));
      definitions.push_back(equals == std::string::npos ? "" : argument.substr(equals + 1));
      hasDefinition.push_back(equals != std::string::npos);
    }
    for (std::size_t i = 0; i < names.size(); ++i)
      list.push_back({names[i].c_str(), hasDefinition[i] ? definitions[i].c_str() : nullptr});
    list.push_back({nullptr, nullptr});
  }
  std::vector<std::string> names, definitions;
  std::vector<bool> hasDefinition;
  std::vector<gv::CGvMacro> list;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || std::strcmp(argv[1], "info") != 0) return usage();
  const char* path = argv[2];
  SMacroArguments macros(std::vector<std::string>(argv + 3, argv + argc));

  gv::CGvEffectDefLoaderGavo gavoLoader;
  gv::CGvEffectDefLoaderCollada colladaLoader;
  gv::IGvEffectDefLoader* const loaders[] = {&gavoLoader, &colladaLoader};
  gv::IGvEffectDefLoader* loader = nullptr;
  for (gv::IGvEffectDefLoader* candidate : loaders)
    if (candidate->isALoadableFileExtension(path)) loader = candidate;
  if (!loader) {
    std::cerr << "gavo-fx: " << path << " is no effect file (.hlsl, .fx, .dae, .xml)\n";
    return kUsage;
  }

  const char* error = nullptr;
  // Our engine runs Irrlicht's OpenGL driver.
  gv::IGvEffectDef* def = loader->createEffectDef(path, macros.list.data(), true, &error);
  int status = 0;
  if (error) {
    std::cerr << "gavo-fx: " << path << ": " << error << "\n";
    status = kFailed;
  } else {
    gv::fx::printEffectDef(*def, std::cout);
  }
  def->drop();
  return status;
}
