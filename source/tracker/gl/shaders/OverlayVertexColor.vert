#version 410 core
uniform vec3 Color;
layout(location = 0) in vec2 vPosition;
layout(location = 1) in float vAlpha;
flat out vec4 color;
void main()
{
	gl_Position = vec4(vPosition * 2.0 - 1.0, 0.0, 1.0);
	color = vec4(Color, vAlpha);
}
