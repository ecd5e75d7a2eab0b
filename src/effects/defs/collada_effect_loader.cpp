#include "effects/defs/collada_effect_loader.h"

#include "app/log/log.h"
#include "effects/defs/gavo_vocabulary.h"
#include "effects/defs/numbers.h"
#include "resources/files/files.h"

#include "effects/defs/xml_reader.h"

#include <fast_atof.h>

#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace gv {

namespace {

using gavo::equalsIgnoringCase;

const struct SParameterElement {
  const char* Element;
  s32 Type;
} kParameterElements[] = {
    {"bool", EPT_BOOL},           {"float", EPT_FLOAT},         {"float2", EPT_FLOAT2},
    {"float3", EPT_FLOAT3},       {"float4", EPT_FLOAT4},       {"float4x4", EPT_FLOAT4X4},
    {"int", EPT_INT},             {"sampler1D", EPT_SAMPLER1D}, {"sampler2D", EPT_SAMPLER2D},
    {"sampler3D", EPT_SAMPLER3D}, {"samplerRect", EPT_SAMPLERRECT}, {"samplerCube", EPT_SAMPLERCUBE},
    {"samplerDepth", EPT_SAMPLERDEPTH}, {"usertype", EPT_USERTYPE},
};

const char* const kStages[] = {"TESSELATION", "VERTEX", "GEOMETRY", "FRAGMENT"};  // codes 1 to 4
const char* const kTargets[] = {"vs_1_1", "vs_2_0", "vs_3_0", "ps_1_1", "ps_2_0", "ps_3_0"};  // 1 to 6

template <std::size_t N>
s32 codeOf(const char* const (&words)[N], const char* word) {
  for (std::size_t i = 0; i < N; ++i)
    if (equalsIgnoringCase(words[i], word)) return static_cast<s32>(i + 1);
  return 0;
}

const char* const kEvaluateSteps[] = {"color_target", "depth_target", "stencil_target",
                                      "color_clear",  "depth_clear",  "stencil_clear"};

stringc trimmed(std::string_view s) {
  std::size_t begin = s.find_first_not_of(" \t\r\n");
  if (begin == std::string_view::npos) return "";
  s = s.substr(begin, s.find_last_not_of(" \t\r\n") - begin + 1);
  return stringc(s.data(), static_cast<u32>(s.size()));
}

class CColladaReader {
 public:
  CColladaReader(CXmlReader& xml, CGvEffectDef& def) : xml_(xml), def_(def) {}

  void readDocument() {
    while (xml_.read()) {
      if (xml_.nodeType() != CXmlReader::Element) continue;
      if (is("COLLADA"))
        readCollada();
      else
        skip();
    }
  }

 private:
  bool is(const char* name) const { return xml_.name() == name; }
  stringc attribute(const char* name) const {
    const char* value = xml_.attribute(name);
    return value ? value : "";
  }
  s32 indexAttribute() const {
    const char* value = xml_.attribute("index");
    return value ? truncateToInt(irr::core::fast_atof(value)) : 0;
  }

  // Reads the current element up to its end tag. onChild is called on the start tag of each
  // child element and consumes the child. Returns the element's last text piece, trimmed.
  template <class OnChild>
  stringc readContent(OnChild onChild) {
    stringc text;
    if (xml_.isEmptyElement()) return text;
    while (xml_.read()) {
      switch (xml_.nodeType()) {
        case CXmlReader::Element: onChild(); break;
        case CXmlReader::ElementEnd: return text;
        case CXmlReader::Text:
        case CXmlReader::CData: text = trimmed(xml_.data()); break;
      }
    }
    return text;
  }

  // Skips the current element and its whole subtree; an element this reader does not know
  // is announced.
  void skip(bool announce = true) {
    if (announce) gvPrint("COLLADA skipping section %s", xml_.name().c_str());
    if (xml_.isEmptyElement()) return;
    for (int depth = 1; depth > 0 && xml_.read();) {
      if (xml_.nodeType() == CXmlReader::Element && !xml_.isEmptyElement()) ++depth;
      if (xml_.nodeType() == CXmlReader::ElementEnd) --depth;
    }
  }

  stringc text() {
    return readContent([&] { skip(); });
  }
  void consume() { text(); }
  void ignoreContent() {
    readContent([&] { skip(false); });
  }

  void readCollada() {
    readContent([&] {
      if (is("asset")) {
        skip(false);
      } else if (is("library_effects")) {
        readContent([&] { is("effect") ? readEffect() : skip(); });
      } else {
        gvPrint("COLLADA loader warning: Wrong tag usage found %s", xml_.name().c_str());
        skip();
      }
    });
  }

  void readEffect() {
    def_.Id = attribute("id");
    def_.Name = attribute("name");
    readContent([&] {
      if (is("asset"))
        readEffectAsset();
      else if (is("newparam"))
        def_.Parameters.push_back(readNewParam());
      else if (is("profile_CG"))
        // Our OpenGL driver compiles HLSL: effect files keep their programs in profile_CG on
        // every driver, so that profile is read whatever IsOpenGL says, with its own rules
        // (bind_uniform inside shader, targets from compiler), and profile_GLSL is passed
        // over. IsOpenGL stays recorded in the definition.
        readProfile();
      else if (is("profile_GLSL"))
        skip(false);
      else if (is("annotate"))
        def_.Annotations.push_back(readAnnotation());
      else
        skip();
    });
  }

  void readEffectAsset() {
    readContent([&] {
      if (is("subject"))
        def_.Subject = text();
      else if (is("title"))
        def_.Title = text();
      else if (is("contributor"))
        readContent([&] { is("comments") ? void(def_.Comments = text()) : skip(); });
      else
        skip();
    });
  }

  SParameter readAnnotation() {
    SParameter annotation(attribute("name"), "");
    readContent([&] { is("string") ? void(annotation.Value = text()) : skip(); });
    return annotation;
  }

  SParameter readNewParam() {
    SParameter parameter;
    parameter.Name = attribute("sid");
    readContent([&] {
      if (const SParameterElement* element = parameterElement()) {
        parameter.Type = element->Type;
        if (element->Type >= EPT_SAMPLER1D)
          readSampler(parameter.Sampler);
        else
          parameter.Value = text();
      } else if (is("semantic")) {
        parameter.Semantic = text();
      } else if (is("annotate")) {
        parameter.Annotations.push_back(readAnnotation());
      } else {
        skip();
      }
    });
    return parameter;
  }

  const SParameterElement* parameterElement() const {
    for (const SParameterElement& element : kParameterElements)
      if (is(element.Element)) return &element;
    return nullptr;
  }

  void readSampler(SSampler& sampler) {
    const std::pair<const char*, stringc*> fields[] = {
        {"wrap_s", &sampler.WrapS},         {"wrap_t", &sampler.WrapT},
        {"wrap_p", &sampler.WrapP},         {"minfilter", &sampler.MinFilter},
        {"magfilter", &sampler.MagFilter},  {"mipfilter", &sampler.MipFilter}};
    readContent([&] {
      if (is("instance_image")) {
        sampler.Source = attribute("url");
        consume();
        return;
      }
      for (const auto& [name, field] : fields) {
        if (is(name)) {
          *field = text();
          return;
        }
      }
      skip();
    });
  }

  void readProfile() {
    readContent([&] {
      if (is("include")) {
        def_.Includes.push_back({attribute("sid"), attribute("url")});
        ignoreContent();
      } else if (is("technique")) {
        readTechnique();
      } else {
        skip();
      }
    });
  }

  void readTechnique() {
    STechnique technique;
    technique.Name = attribute("sid");
    readContent([&] {
      if (is("pass"))
        technique.Passes.push_back(readPass());
      else if (is("annotate"))
        technique.Annotations.push_back(readAnnotation());
      else
        skip();
    });
    def_.Techniques.push_back(technique);
  }

  SPass readPass() {
    SPass pass;
    pass.Name = attribute("sid");
    readContent([&] {
      if (is("states"))
        readContent([&] { readState(pass); });
      else if (is("evaluate"))
        readEvaluate(pass);
      else if (is("program"))
        // bind_uniform directly inside program belongs to profile_GLSL: skipped like any
        // element this profile does not have.
        readContent([&] { is("shader") ? readShader(pass) : skip(); });
      else if (is("annotate"))
        pass.Annotations.push_back(readAnnotation());
      else
        skip();
    });
    return pass;
  }

  void readState(SPass& pass) {
    SState state(xml_.name().c_str(), attribute("value"), attribute("param"), indexAttribute());
    if (state.Name == "blend_func") {
      // Its src and dest children are states of their own; the element itself counts only
      // when it has none.
      bool hasChildren = false;
      readContent([&] {
        hasChildren = true;
        if (!is("src") && !is("dest")) return skip();
        stringc name = stringc("blend_func ") + xml_.name().c_str();
        SState factor(name, attribute("value"), attribute("param"), indexAttribute());
        consume();
        pass.States.push_back(factor);
      });
      if (!hasChildren) pass.States.push_back(state);
      return;
    }
    readContent([&] {
      if (is("param"))
        state.Param = text();
      else if (is("value"))
        state.Value = text();
      else
        skip();
    });
    pass.States.push_back(state);
  }

  bool isEvaluateStep() const {
    for (const char* step : kEvaluateSteps)
      if (is(step)) return true;
    return false;
  }

  void readEvaluate(SPass& pass) {
    readContent([&] {
      if (isEvaluateStep()) {
        pass.Evaluates.push_back(readEvaluateStep());
      } else if (is("draw")) {
        SEvaluate draw;
        draw.Kind = "draw";
        draw.Value = text();
        pass.Evaluates.push_back(draw);
      } else {
        skip();
      }
    });
  }

  SEvaluate readEvaluateStep() {
    SEvaluate step;
    step.Kind = xml_.name().c_str();
    step.Index = indexAttribute();
    stringc content = readContent([&] {
      if (is("param")) {
        step.Value = attribute("ref");
        consume();
      } else if (is("instance_image")) {
        step.Image = attribute("url");
        consume();
      } else {
        skip();
      }
    });
    if (step.Kind.find("_clear") >= 0) step.Value = content;
    return step;
  }

  void readShader(SPass& pass) {
    SShader shader;
    shader.Stage = codeOf(kStages, attribute("stage").c_str());
    readContent([&] {
      if (is("sources")) {
        readSources(shader);
      } else if (is("compiler")) {
        shader.Target = codeOf(kTargets, attribute("target").c_str());
        ignoreContent();
      } else if (is("bind_uniform")) {
        shader.Parameters.push_back(readBindUniform());
      } else {
        skip();
      }
    });
    pass.Shaders.push_back(shader);
  }

  void readSources(SShader& shader) {
    shader.Entry = attribute("entry");
    readContent([&] {
      if (is("inline")) {
        shader.Macros.push_back(text());
      } else if (is("import")) {
        shader.Source = resolveImport(attribute("ref"));
        consume();
      } else {
        skip();
      }
    });
  }

  stringc resolveImport(const stringc& ref) const {
    for (u32 i = 0; i < def_.Includes.size(); ++i)
      if (equalsIgnoringCase(def_.Includes[i].Sid.c_str(), ref.c_str())) return def_.Includes[i].Url;
    gvPrint("COLLADA Warning missing include reference for source ref '%s'", ref.c_str());
    return ref;
  }

  SParameter readBindUniform() {
    SParameter reference(attribute("symbol"), "");
    readContent([&] {
      if (is("param")) {
        reference.Value = attribute("ref");
        consume();
      } else {
        skip();
      }
    });
    return reference;
  }

  CXmlReader& xml_;
  CGvEffectDef& def_;
};

}  // namespace

void readColladaEffects(CGvEffectDef& def, const void* data, std::size_t size) {
  CXmlReader xml(std::string_view(static_cast<const char*>(data), size));
  CColladaReader(xml, def).readDocument();
}

bool CGvEffectDefLoaderCollada::isALoadableFileExtension(const char* fileName) const {
  const char* dot = std::strrchr(fileName, '.');
  return dot && (equalsIgnoringCase(dot + 1, "dae") || equalsIgnoringCase(dot + 1, "xml"));
}

IGvEffectDef* CGvEffectDefLoaderCollada::createEffectDef(const char* path, const CGvMacro*, bool isOpenGL,
                                                         const char** errorText) {
  auto* def = new CGvEffectDefCollada(absolutePath(path).c_str(), isOpenGL);
  std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path);
  *errorText = bytes ? nullptr : "File Not Found";
  if (bytes) readColladaEffects(*def, bytes->data(), bytes->size());
  return def;
}

}  // namespace gv
