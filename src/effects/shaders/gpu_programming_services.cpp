#include "effects/shaders/gpu_programming_services.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <set>
#include <tuple>

#include "app/log/log.h"
#include "effects/shaders/engine_file.h"
#include "effects/shaders/shader_cache.h"
#include "effects/shaders/shader_include_callback.h"

namespace gv {
namespace {

const char* stageName(bool isVertex) { return isVertex ? "Vertex" : "Pixel"; }

// Macro lists compare by count first, then pair by pair.
int compareMacros(const std::vector<SShaderMacro>& a, const std::vector<SShaderMacro>& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (int c = std::strcmp(a[i].Name.c_str(), b[i].Name.c_str())) return c;
    if (int c = std::strcmp(a[i].Definition.c_str(), b[i].Definition.c_str())) return c;
  }
  return 0;
}

int compareKeys(const SShaderCompiledEntry& a, const SShaderCompiledEntry& b) {
  if (a.IsVertex != b.IsVertex) return a.IsVertex ? 1 : -1;
  if (int c = a.File.compare(b.File)) return c;
  if (int c = a.Entry.compare(b.Entry)) return c;
  return compareMacros(a.Macros, b.Macros);
}

int compareKeys(const SShaderMaterialTypeEntry& a, const SShaderMaterialTypeEntry& b) {
  if (int c = a.VertexFile.compare(b.VertexFile)) return c;
  if (int c = a.VertexEntry.compare(b.VertexEntry)) return c;
  if (int c = a.PixelFile.compare(b.PixelFile)) return c;
  if (int c = a.PixelEntry.compare(b.PixelEntry)) return c;
  if (a.Callback != b.Callback) return std::less<const void*>()(a.Callback, b.Callback) ? -1 : 1;
  if (a.BaseMaterial != b.BaseMaterial) return a.BaseMaterial < b.BaseMaterial ? -1 : 1;
  if (a.UserData != b.UserData) return a.UserData < b.UserData ? -1 : 1;
  return compareMacros(a.Macros, b.Macros);
}

// Binary search in a table of owned records sorted by key: the first record not below `key`.
template <typename Entry>
typename std::vector<std::unique_ptr<Entry>>::iterator lowerBound(
    std::vector<std::unique_ptr<Entry>>& table, const Entry& key) {
  return std::lower_bound(table.begin(), table.end(), key,
                          [](const std::unique_ptr<Entry>& e, const Entry& k) {
                            return compareKeys(*e, k) < 0;
                          });
}

template <typename Entry>
Entry* find(std::vector<std::unique_ptr<Entry>>& table, const Entry& key) {
  auto at = lowerBound(table, key);
  return at != table.end() && compareKeys(**at, key) == 0 ? at->get() : nullptr;
}

template <typename Entry>
void insertSorted(std::vector<std::unique_ptr<Entry>>& table, std::unique_ptr<Entry> entry) {
  auto at = lowerBound(table, *entry);
  table.insert(at, std::move(entry));
}

// A failure goes into the caller's error text, or to the log at ERROR without one.
void report(std::string* errorText, const std::string& text) {
  if (errorText) *errorText = text;
  else gvLog(GVLOG_ERROR, "%s", text.c_str());
}

// Printed whatever the log threshold is (at most INFO for this one message). The log ends
// every message with its own line end.
void printAlways(const char* format, ...) GV_PRINTF_FORMAT(1, 2);
void printAlways(const char* format, ...) {
  char text[kGvLogTextMax + 1];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  const std::int32_t threshold = gvLogLevel();
  if (threshold > static_cast<std::int32_t>(GVLOG_INFO)) gvLogSetLevel(GVLOG_INFO);
  gvLog(GVLOG_INFO, "%s", text);
  gvLogSetLevel(threshold);
}

// The macro list of a compiled entry in the compiler's layout, ending with a null pair.
std::vector<CGvMacro> compilerMacros(const std::vector<SShaderMacro>& macros) {
  std::vector<CGvMacro> table;
  for (const SShaderMacro& m : macros) table.push_back({m.Name.c_str(), m.Definition.c_str()});
  table.push_back({nullptr, nullptr});
  return table;
}

void printTable(const engine::SShaderConstantTable& table) {
  for (const auto& constant : table.Constants)
    printAlways("Name='%s' RegisterIndex=%d RegisterCount=%d", constant.Name.c_str(),
                constant.RegisterIndex, constant.RegisterCount);
  for (const auto& sampler : table.Samplers)
    printAlways("Name='%s' RegisterIndex=%d RegisterCount=%d", sampler.Name.c_str(),
                sampler.Unit, 1);
}

void warnIfTableChanged(const std::string& name, const char* stage,
                        const engine::SShaderConstantTable& before,
                        const engine::SShaderConstantTable& after) {
  if (before.BufferSize != after.BufferSize)
    gvLog(GVLOG_WARN,
          "GvGPU: warning, you may restart the engine: %s: %s contant buffer sizes are "
          "different prev=%d new=%d",
          name.c_str(), stage, static_cast<int>(before.BufferSize),
          static_cast<int>(after.BufferSize));
  else if (!(before == after))
    gvLog(GVLOG_WARN,
          "GvGPU: warning, you may restart the engine: %s: %s contant buffer sizes are different",
          name.c_str(), stage);
}

}  // namespace

std::vector<SShaderMacro> sortedShaderMacros(const CGvMacro* macros) {
  std::vector<SShaderMacro> sorted;
  for (const CGvMacro* m = macros; m && m->Name; ++m) {
    SShaderMacro macro;
    macro.Name = m->Name;
    macro.Definition = m->Definition ? m->Definition : "";
    sorted.push_back(macro);
  }
  std::sort(sorted.begin(), sorted.end(), [](const SShaderMacro& a, const SShaderMacro& b) {
    if (int c = std::strcmp(a.Name.c_str(), b.Name.c_str())) return c < 0;
    return std::strcmp(a.Definition.c_str(), b.Definition.c_str()) < 0;
  });
  return sorted;
}

CGvGPUProgrammingServices::CGvGPUProgrammingServices(
    irr::IrrlichtDevice* device, std::unique_ptr<engine::IShaderProgramming> programming)
    : device_(device), programming_(std::move(programming)) {
  if (!programming_ && device_ && device_->getVideoDriver())
    programming_ = engine::createShaderProgramming(device_->getVideoDriver());
  cache_ = std::make_unique<ShaderCache>(device_ ? device_->getFileSystem() : nullptr);
}

CGvGPUProgrammingServices::~CGvGPUProgrammingServices() = default;

void CGvGPUProgrammingServices::setCacheDirectory(const std::string& directory, s32 mode) {
  cache_->setDirectory(directory, mode);
}

s32 CGvGPUProgrammingServices::addShaderMaterialFromFiles(
    const char* vertexFile, const char* vertexEntry, irr::video::E_VERTEX_SHADER_TYPE vertexTarget,
    const char* pixelFile, const char* pixelEntry, irr::video::E_PIXEL_SHADER_TYPE pixelTarget,
    irr::video::IShaderConstantSetCallBack* callback, irr::video::E_MATERIAL_TYPE baseMaterial,
    s32 userData, const CGvMacro* macros, std::string* errorText) {
  auto entry = std::make_unique<SShaderMaterialTypeEntry>();
  entry->VertexFile = vertexFile;
  entry->VertexEntry = vertexEntry;
  entry->PixelFile = pixelFile;
  entry->PixelEntry = pixelEntry;
  entry->Callback = callback;
  entry->BaseMaterial = baseMaterial;
  entry->UserData = userData;
  entry->Macros = sortedShaderMacros(macros);
  if (const SShaderMaterialTypeEntry* found = find(materials_, *entry)) {
    gvLog(GVLOG_DEBUG, "GvGPU: Found already created shader %s %s", vertexFile, pixelFile);
    return found->MaterialType;
  }
  irr::io::IFileSystem* files = device_ ? device_->getFileSystem() : nullptr;
  if (!files || !files->existFile(vertexFile) || !files->existFile(pixelFile)) {
    if (errorText)
      *errorText = std::string("Shader files not found : ") + vertexFile + " " + pixelFile;
    else
      gvLog(GVLOG_ERROR, "GvGPU: Shader files not found %s %s", vertexFile, pixelFile);
    return -1;
  }
  entry->MaterialType = createShaderMaterial(
      vertexFile, vertexEntry, vertexTarget, pixelFile, pixelEntry, pixelTarget, callback,
      baseMaterial, userData, macros, errorText, entry->VertexShaderId, entry->PixelShaderId);
  if (entry->MaterialType == -1) {
    if (!errorText) gvLog(GVLOG_ERROR, "GvGPU: Failed to get shader %s %s", vertexFile, pixelFile);
    return -1;
  }
  const s32 materialType = entry->MaterialType;
  insertSorted(materials_, std::move(entry));
  return materialType;
}

s32 CGvGPUProgrammingServices::createShaderMaterial(
    const char* vertexFile, const char* vertexEntry, irr::video::E_VERTEX_SHADER_TYPE vertexTarget,
    const char* pixelFile, const char* pixelEntry, irr::video::E_PIXEL_SHADER_TYPE pixelTarget,
    irr::video::IShaderConstantSetCallBack* callback, irr::video::E_MATERIAL_TYPE baseMaterial,
    s32 userData, const CGvMacro* macros, std::string* errorText, s32& vertexId, s32& pixelId) {
  vertexId = pixelId = -1;
  if (!programming_) {
    report(errorText, "GvGPU: failed to get gpu");
    return -1;
  }
  const engine::ShaderCode* vertexCode = getCompiledShader(vertexFile, vertexEntry, true,
                                                           vertexTarget, macros, errorText, vertexId);
  if (!vertexCode) return -1;
  const engine::ShaderCode* pixelCode =
      getCompiledShader(pixelFile, pixelEntry, false, pixelTarget, macros, errorText, pixelId);
  if (!pixelCode) return -1;
  const s32 material = programming_->addHighLevelShaderMaterialFromTokens(
      vertexCode, pixelCode, nullptr, irr::scene::EPT_TRIANGLES, irr::scene::EPT_TRIANGLE_STRIP,
      0, callback, baseMaterial, userData);
  if (material == -1) report(errorText, "GvGPU: addHighLevelShaderMaterial failed");
  return material;
}

void CGvGPUProgrammingServices::store(std::unique_ptr<SShaderCompiledEntry> entry, s32& id) {
  entry->Id = ++lastId_;
  id = entry->Id;
  insertSorted(compiled_, std::move(entry));
}

const engine::ShaderCode* CGvGPUProgrammingServices::getCompiledShader(
    const char* file, const char* entry, bool isVertex, s32 target, const CGvMacro* macros,
    std::string* errorText, s32& id) {
  auto compiled = std::make_unique<SShaderCompiledEntry>();
  compiled->IsVertex = isVertex;
  compiled->File = file;
  compiled->Entry = entry;
  compiled->Macros = sortedShaderMacros(macros);
  compiled->Target = target;
  // Entries are stored only with their code, so a found entry always has some.
  if (SShaderCompiledEntry* found = find(compiled_, *compiled)) {
    gvLog(GVLOG_DEBUG, "GvGPU: Found already compiled shader %s %s", file, stageName(isVertex));
    id = found->Id;
    return &found->Code;
  }
  std::vector<std::string> includes;
  if (std::optional<engine::ShaderCode> cached =
          cache_->read(compiled->File, compiled->Entry, isVertex, compiled->Macros, includes)) {
    compiled->Includes = std::move(includes);
    compiled->Code = std::move(*cached);
  } else {
    if (!compileShader(*compiled, errorText)) return nullptr;
    cache_->write(compiled->File, compiled->Entry, isVertex, compiled->Macros, compiled->Code);
  }
  SShaderCompiledEntry* stored = compiled.get();
  store(std::move(compiled), id);
  return &stored->Code;
}

bool CGvGPUProgrammingServices::compileShader(SShaderCompiledEntry& entry,
                                              std::string* errorText) {
  irr::io::IFileSystem* files = device_ ? device_->getFileSystem() : nullptr;
  if (!programming_) return report(errorText, "GvGPU: failed to get gpu"), false;
  if (!files) return report(errorText, "GvGPU: failed to get filesystem"), false;
  std::string source;  // the string keeps its terminator
  const EFileRead read = readEngineFile(files, entry.File, source);
  if (read == EFileRead::NotOpened) {
    if (errorText) *errorText = "Shader file " + entry.File + " not found";
    else gvLog(GVLOG_ERROR, "GvGPU: Shader file not found %s", entry.File.c_str());
    return false;
  }
  if (read == EFileRead::ShortRead) {
    if (errorText) *errorText = "Shader file " + entry.File + " cannot be read";
    else gvLog(GVLOG_ERROR, "GvGPU: Shader file cannot be read %s", entry.File.c_str());
    return false;
  }

  const std::vector<CGvMacro> macros = compilerMacros(entry.Macros);
  ShaderIncludeCallback includes(files, files->getFileDir(entry.File.c_str()).c_str());
  gvLog(GVLOG_DEBUG, "GvGPU: compile shader %s", entry.File.c_str());
  engine::ShaderCode code;
  std::string message;
  const bool compiled =
      entry.IsVertex
          ? programming_->compileHLSLVertexShader(
                source.c_str(), entry.Entry.c_str(),
                static_cast<irr::video::E_VERTEX_SHADER_TYPE>(entry.Target), macros.data(),
                &includes, code, &message, entry.File.c_str())
          : programming_->compileHLSLPixelShader(
                source.c_str(), entry.Entry.c_str(),
                static_cast<irr::video::E_PIXEL_SHADER_TYPE>(entry.Target), macros.data(),
                &includes, code, &message, entry.File.c_str());
  if (!compiled) {
    if (errorText) {
      const std::size_t memory = message.find("memory(");
      *errorText = std::string("Failed to Compile ") + stageName(entry.IsVertex) + " shader " +
                   entry.File + "\n" + (memory == std::string::npos ? message : message.substr(memory));
    } else {
      gvLog(GVLOG_ERROR, "GvGPU: Failed to Compile %s shader %s\n%s", stageName(entry.IsVertex),
            entry.File.c_str(), message.c_str());
    }
    return false;
  }
  entry.Code = std::move(code);
  std::vector<std::string> paths = includes.openedFiles();
  paths.push_back(entry.File);
  for (std::string& path : paths) path = forwardSlashes(path);
  std::sort(paths.begin(), paths.end());
  entry.Includes = std::move(paths);
  return true;
}

const SShaderCompiledEntry* CGvGPUProgrammingServices::entryWithId(s32 id) const {
  for (const auto& entry : compiled_)
    if (entry->Id == id) return entry.get();
  return nullptr;
}

bool CGvGPUProgrammingServices::recompileShaders(const std::vector<std::string>& changedFiles,
                                                 std::vector<s32>& materialTypes,
                                                 std::string* errorText) {
  materialTypes.clear();
  std::string failures;
  std::set<s32> recompiled;
  for (const auto& entry : compiled_) {
    const bool affected = std::any_of(
        changedFiles.begin(), changedFiles.end(), [&](const std::string& changed) {
          return std::find(entry->Includes.begin(), entry->Includes.end(), changed) !=
                 entry->Includes.end();
        });
    if (!affected) continue;
    printAlways("GvGPU: recompile %s (%s)...", entry->File.c_str(), stageName(entry->IsVertex));
    std::string message;
    if (compileShader(*entry, errorText ? &message : nullptr)) {
      recompiled.insert(entry->Id);
      cache_->write(entry->File, entry->Entry, entry->IsVertex, entry->Macros, entry->Code);
    } else {
      failures += "Failed to compile " + entry->File + "\n" + message + "\n";
    }
  }
  for (const auto& material : materials_) {
    if (!recompiled.count(material->VertexShaderId) && !recompiled.count(material->PixelShaderId))
      continue;
    const SShaderCompiledEntry* vertex = entryWithId(material->VertexShaderId);
    const SShaderCompiledEntry* pixel = entryWithId(material->PixelShaderId);
    std::string message;
    if (updateMaterial(material->MaterialType, vertex ? &vertex->Code : nullptr,
                       pixel ? &pixel->Code : nullptr, material->PixelFile, &message)) {
      materialTypes.push_back(material->MaterialType);
      continue;
    }
    const std::string failure = "Failed to update material " + material->PixelFile + "\n" + message;
    if (!errorText) gvLog(GVLOG_ERROR, "GvGPU: %s", failure.c_str());
    failures += failure;
  }
  if (errorText) *errorText = failures;
  return true;
}

bool CGvGPUProgrammingServices::updateMaterial(s32 materialType,
                                               const engine::ShaderCode* vertexCode,
                                               const engine::ShaderCode* pixelCode,
                                               const std::string& name, std::string* errorText) {
  if (!programming_) return report(errorText, "GvGPU: failed to get gpu"), false;
  engine::SShaderConstantTable vertexBefore, pixelBefore;
  const bool hadTables =
      programming_->getMaterialTypeConstantTables(materialType, vertexBefore, pixelBefore);
  tablesMaterial_ = -1;
  if (!programming_->updateHighLevelShaderMaterialFromTokens(materialType, vertexCode, pixelCode,
                                                             nullptr))
    return false;
  engine::SShaderConstantTable vertexAfter, pixelAfter;
  if (hadTables &&
      programming_->getMaterialTypeConstantTables(materialType, vertexAfter, pixelAfter)) {
    warnIfTableChanged(name, "vertex", vertexBefore, vertexAfter);
    warnIfTableChanged(name, "pixel", pixelBefore, pixelAfter);
  }
  return true;
}

bool CGvGPUProgrammingServices::constantTables(s32 materialType) {
  if (materialType == tablesMaterial_) return true;
  if (!programming_ ||
      !programming_->getMaterialTypeConstantTables(materialType, vertexTable_, pixelTable_)) {
    gvLog(GVLOG_ERROR, "GvGPU: getMaterialTypeConstantTables failed");
    return false;
  }
  tablesMaterial_ = materialType;
  return true;
}

bool CGvGPUProgrammingServices::lookUpConstant(bool isVertex, s32 materialType, const char* name,
                                               s32& firstRegister, s32& registerCount) {
  firstRegister = -1;
  registerCount = 0;
  if (!constantTables(materialType)) return true;
  const engine::SShaderConstantDesc* constant =
      (isVertex ? vertexTable_ : pixelTable_).findConstant(name);
  if (!constant) return false;
  firstRegister = constant->RegisterIndex;
  registerCount = constant->RegisterCount;
  return true;
}

bool CGvGPUProgrammingServices::lookUpSampler(bool isVertex, s32 materialType, const char* name,
                                              s32& unit) {
  unit = -1;
  if (!constantTables(materialType)) return true;
  const engine::SShaderSamplerDesc* sampler =
      (isVertex ? vertexTable_ : pixelTable_).findSampler(name);
  if (!sampler) return false;
  unit = sampler->Unit;
  return true;
}

bool CGvGPUProgrammingServices::getPixelShaderConstant(s32 materialType, const char* name,
                                                       s32& firstRegister, s32& registerCount) {
  return lookUpConstant(false, materialType, name, firstRegister, registerCount);
}

bool CGvGPUProgrammingServices::getVertexShaderConstant(s32 materialType, const char* name,
                                                        s32& firstRegister, s32& registerCount) {
  return lookUpConstant(true, materialType, name, firstRegister, registerCount);
}

bool CGvGPUProgrammingServices::getPixelShaderSampler(s32 materialType, const char* name,
                                                      s32& unit) {
  return lookUpSampler(false, materialType, name, unit);
}

bool CGvGPUProgrammingServices::getVertexShaderSampler(s32 materialType, const char* name,
                                                       s32& unit) {
  return lookUpSampler(true, materialType, name, unit);
}

bool CGvGPUProgrammingServices::printConstants(s32 materialType) {
  if (!constantTables(materialType)) return false;
  printAlways("Vertex Shader Constants");
  printTable(vertexTable_);
  printAlways("Pixel Shader Constants");
  printTable(pixelTable_);
  return true;
}

}  // namespace gv
