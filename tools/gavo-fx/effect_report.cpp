#include "effect_report.h"

#include "effects/defs/pass_interpretation.h"

#include <iomanip>
#include <sstream>

namespace gv::fx {

namespace {

// Values are number lists with irregular spacing: shown with single spaces.
std::string words(const char* text) {
  std::istringstream in(text);
  std::string word, joined;
  while (in >> word) joined += (joined.empty() ? "" : " ") + word;
  return joined;
}

std::string quoted(const char* text) { return std::string("\"") + text + "\""; }

class CReport {
 public:
  CReport(const IGvEffectDef& def, std::ostream& out) : def_(def), out_(out) {}

  void print() {
    SEffectInfo info;
    def_.getInfo(info);
    out_ << "file: " << def_.getFileName().c_str() << "\n";
    for (const auto& [label, text] : {std::pair{"id", info.Id}, {"name", info.Name}, {"title", info.Title},
                                      {"subject", info.Subject}, {"comments", info.Comments}})
      if (*text) out_ << label << ": " << text << "\n";
    annotations(nullptr, info.AnnotationCount, "");
    for (u32 i = 0; i < info.ParameterCount; ++i) parameter(def_.getParameter(nullptr, i));
    for (u32 i = 0; i < info.TechniqueCount; ++i) technique(def_.getTechnique(i));
  }

 private:
  void annotations(const SRecord* owner, u32 count, const char* indent) {
    for (u32 i = 0; i < count; ++i) {
      const SParameter* a = def_.getAnnotation(owner, i);
      out_ << indent << "annotation " << a->Name.c_str() << " = " << a->Value.c_str() << "\n";
    }
  }

  void parameter(const SParameter* p) {
    SParameterInfo info;
    def_.getParameterInfo(p, info);
    const char* type = parameterTypeName(info.Type);
    out_ << "parameter " << info.Name << " " << (*type ? type : "unknown");
    if (*info.Semantic) out_ << " semantic " << info.Semantic;
    if (!words(p->Value.c_str()).empty()) out_ << " default " << words(p->Value.c_str());
    out_ << "\n";
    if (isSamplerType(info.Type) || info.Type == EPT_USERTYPE) sampler(p);
    annotations(p, info.AnnotationCount, "  ");
  }

  void sampler(const SParameter* p) {
    SSamplerInfo s;
    def_.getSamplerInfo(p, s);
    out_ << "  sampler source " << quoted(s.Source) << " wrap " << quoted(s.WrapS) << " " << quoted(s.WrapT) << " "
         << quoted(s.WrapP) << " filter " << quoted(s.MinFilter) << " " << quoted(s.MagFilter) << " "
         << quoted(s.MipFilter) << "\n";
  }

  void technique(const STechnique* t) {
    STechniqueInfo info;
    def_.getTechniqueInfo(t, info);
    out_ << "technique " << quoted(info.Name) << "\n";
    annotations(t, info.AnnotationCount, "  ");
    for (u32 i = 0; i < info.PassCount; ++i) pass(def_.getPass(t, i));
  }

  void pass(const SPass* p) {
    SPassInfo info;
    def_.getPassInfo(p, info);
    out_ << "  pass " << quoted(info.Name) << "\n";
    annotations(p, info.AnnotationCount, "    ");
    for (u32 i = 0; i < info.ShaderCount; ++i) shader(def_.getShader(p, i));
    for (u32 i = 0; i < info.StateCount; ++i) state(def_.getState(p, i));
    for (u32 i = 0; i < info.EvaluateCount; ++i) evaluate(def_.getEvaluate(p, i));
    meaning(p);
  }

  void shader(const SShader* s) {
    SShaderInfo info;
    def_.getShaderInfo(s, info);
    const char* target = shaderTargetName(info.Target);
    out_ << "    shader ";
    if (info.Stage == ESS_VERTEX)
      out_ << "vertex";
    else if (info.Stage == ESS_PIXEL)
      out_ << "pixel";
    else
      out_ << "stage " << info.Stage;
    out_ << " entry " << info.Entry << " target " << (*target ? target : "none") << " source " << info.Source << "\n";
    for (u32 i = 0; i < info.MacroCount; ++i) {
      const char* line = nullptr;
      def_.getShaderMacro(s, i, &line);
      out_ << "      macro " << line << "\n";
    }
    for (u32 i = 0; i < info.ParameterCount; ++i) {
      const SParameter* reference = def_.getShaderParameter(s, i);
      out_ << "      uses " << reference->Name.c_str();
      if (reference->Value != reference->Name) out_ << " = " << reference->Value.c_str();
      if (!def_.resolveParameterReference(reference)) out_ << " (no such parameter)";
      out_ << "\n";
    }
  }

  void state(const SState* s) {
    SStateInfo info;
    def_.getStateInfo(s, info);
    out_ << "    state " << info.Name << " = " << quoted(info.Value);
    if (*info.Param) out_ << " param " << info.Param;
    if (info.Index) out_ << " index " << info.Index;
    out_ << "\n";
  }

  void evaluate(const SEvaluate* e) {
    SEvaluateInfo info;
    def_.getEvaluateInfo(e, info);
    out_ << "    evaluate " << info.Kind << " index " << info.Index << " value " << quoted(info.Value);
    if (*info.Image) out_ << " image " << info.Image;
    out_ << "\n";
  }

  // What the effect builder will make of the pass, or why it cannot.
  void meaning(const SPass* p) {
    stringc error;
    SPassPrograms programs;
    s32 materialType = -1;
    f32 materialParam = 0.f;
    Array<SShaderMacro> macros;
    if (!readPassPrograms(def_, p, programs, error) || !readPassMaterial(def_, p, materialType, materialParam, error) ||
        !collectPassMacros(def_, p, macros, error)) {
      out_ << "    problem: " << error.c_str() << "\n";
      return;
    }
    out_ << "    material ";
    if (materialType < 0)
      out_ << "from the object";
    else
      out_ << "type " << materialType << " param 0x" << std::hex << irr::core::IR(materialParam) << std::dec;
    out_ << "\n";
  }

  const IGvEffectDef& def_;
  std::ostream& out_;
};

}  // namespace

void printEffectDef(const IGvEffectDef& def, std::ostream& out) { CReport(def, out).print(); }

}  // namespace gv::fx
