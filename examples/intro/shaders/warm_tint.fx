// Camera shader: shifts the finished frame towards warm colours.
/*
[GAVO_BEGIN]
//title Warm tint
//subject Example camera shader
//comments Multiplies the frame by a warm colour and lifts its shadows slightly.
// float4 Warmth : 1.08, 0.98, 0.86, 1 : color pixel
// float Lift : 0.03 : pixel
// texture SceneMap : Color : clamp linear
[GAVO_END]
*/

float4 Warmth;
float Lift;
sampler2D SceneMap;

struct VS_OUTPUT {
  float4 Position : POSITION;
  float2 TexCoord : TEXCOORD0;
};

VS_OUTPUT vs_main(float4 position : POSITION, float2 texCoord : TEXCOORD0) {
  VS_OUTPUT output;
  output.Position = position;
  output.TexCoord = texCoord;
  return output;
}

float4 ps_main(float2 texCoord : TEXCOORD0) : COLOR0 {
  float4 color = tex2D(SceneMap, texCoord);
  color.rgb = Lift + color.rgb * Warmth.rgb * (1.0 - Lift);
  return color;
}
