#version 410 core
flat in vec4 color;
out vec4 fragColor;
void main()
{
	fragColor = color;
}
