// A textured surface tinted by a colour that pulses with the scene time. The technique
// "glow" draws the same surface into the glow buffer, brightened.
/*
[GAVO_BEGIN]
//title Tinted texture
//subject Example surface effect
//comments The colour texture of the surface, tinted; the glow technique brightens it.
// config techniques : glow
// config baseMaterial : solid
// config tangents
// float4x4 WorldViewProj : WorldViewProjection
// float Time : Time0_X : pixel
// float4 Tint : 1, 0.8, 0.6, 1 : color pixel
// float Pulse : 0.25 : percent pixel divider
// texture ColorMap : Color : repeat trilinear srgb
//GAVO_PP:D:TECH_GLOW:// float GlowGain : 2 : pixel
//GAVO_PP:D:TECH_GLOW:// config depth_func : LEQUAL
//GAVO_PP:D:TECH_GLOW:// config depth_mask : false
[GAVO_END]
*/

float4x4 WorldViewProj;
float Time;
float4 Tint;
float Pulse;
sampler2D ColorMap;
#ifdef USE_TECH_GLOW
float GlowGain;
#endif

struct VS_OUTPUT {
  float4 Position : POSITION;
  float2 TexCoord : TEXCOORD0;
};

VS_OUTPUT vs_main(float4 position : POSITION, float2 texCoord : TEXCOORD0) {
  VS_OUTPUT output;
  output.Position = mul(position, WorldViewProj);
  output.TexCoord = texCoord;
  return output;
}

float4 ps_main(float2 texCoord : TEXCOORD0) : COLOR0 {
  float pulse = 1.0 - Pulse + Pulse * (0.5 + 0.5 * sin(Time * 6.2831853));
  float4 color = tex2D(ColorMap, texCoord) * Tint * pulse;
#ifdef USE_TECH_GLOW
  color.rgb *= GlowGain;
#endif
  return color;
}
