#version 410 core
uniform vec4 Color;
out vec4 fragColor;
void main()
{
	fragColor = Color;
}
