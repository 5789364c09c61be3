#version 410 core
layout(location = 0) in vec4 vPosition;
// Every clip distance a host may have left enabled passes: no cell of the
// grid may be clipped away. CLIP_DISTANCES is defined when the effect builds
// the program, from the context's limit.
out float gl_ClipDistance[CLIP_DISTANCES];
void main()
{
	gl_Position = vPosition;
	for (int i = 0; i < CLIP_DISTANCES; ++i)
		gl_ClipDistance[i] = 1.0;
}
