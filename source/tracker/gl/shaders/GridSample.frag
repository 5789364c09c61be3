#version 410 core
// One fragment per grid cell: fetch exactly the texel the CPU sampling would
// copy. Source columns and rows come precomputed, so no arithmetic here can
// round differently from the CPU's single-precision formula.
uniform sampler2D InputTexture;
uniform isamplerBuffer SourceIndices;
uniform int GridWidth;
out vec4 fragColor;
void main()
{
	ivec2 cell = ivec2(gl_FragCoord.xy);
	int sx = texelFetch(SourceIndices, cell.x).r;
	int sy = texelFetch(SourceIndices, GridWidth + cell.y).r;
	fragColor = texelFetch(InputTexture, ivec2(sx, sy), 0);
}
