// A medium program pair as materials use them: transformed positions and tangent frames,
// four lights, four textures (diffuse, normal, specular, environment).
#include "include/lights.hlsl"

float4x4 World;
float4x4 WorldViewProj;
float3 EyePosition;
float Shininess = 32;
float4 FogColour = {0.5, 0.6, 0.7, 1};
float2 FogRange = {10, 200};

sampler2D DiffuseMap;
sampler2D NormalMap;
sampler2D SpecularMap;
samplerCUBE EnvironmentMap;

struct VsIn {
  float4 position : POSITION;
  float3 normal : NORMAL;
  float2 uv : TEXCOORD0;
  float3 tangent : TANGENT;
  float3 binormal : BINORMAL;
};

struct VsOut {
  float4 position : POSITION;
  float2 uv : TEXCOORD0;
  float3 worldPosition : TEXCOORD1;
  float3 normal : TEXCOORD2;
  float3 tangent : TEXCOORD3;
  float3 binormal : TEXCOORD4;
  float fog : TEXCOORD5;
};

VsOut vsMain(VsIn input) {
  VsOut output;
  output.position = mul(input.position, WorldViewProj);
  output.worldPosition = mul(input.position, World).xyz;
  output.normal = normalize(mul(input.normal, (float3x3)World));
  output.tangent = normalize(mul(input.tangent, (float3x3)World));
  output.binormal = normalize(mul(input.binormal, (float3x3)World));
  output.uv = input.uv;
  float distance = length(output.worldPosition - EyePosition);
  output.fog = saturate((distance - FogRange.x) / (FogRange.y - FogRange.x));
  return output;
}

float3 surfaceNormal(VsOut input) {
  float3 tangentNormal = tex2D(NormalMap, input.uv).xyz * 2 - 1;
  float3x3 frame = float3x3(normalize(input.tangent), normalize(input.binormal),
                            normalize(input.normal));
  return normalize(mul(tangentNormal, frame));
}

float4 psMain(VsOut input) : COLOR0 {
  float3 normal = surfaceNormal(input);
  float3 toEye = normalize(EyePosition - input.worldPosition);
  float4 diffuse = tex2D(DiffuseMap, input.uv);
  float3 lit = pointLights(input.worldPosition, normal, toEye, Shininess);
  float3 specular = tex2D(SpecularMap, input.uv).rgb;
  float3 reflected = texCUBE(EnvironmentMap, reflect(-toEye, normal)).rgb * specular;
#ifdef DESATURATE
  float grey = dot(diffuse.rgb, float3(0.3, 0.59, 0.11));
  diffuse.rgb = lerp(diffuse.rgb, grey.xxx, DESATURATE);
#endif
  float3 colour = diffuse.rgb * lit + reflected;
  colour = lerp(colour, FogColour.rgb, input.fog);
  return float4(colour, diffuse.a);
}
