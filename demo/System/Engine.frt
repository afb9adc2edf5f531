[Language]
Language=Francais
LangId=9
SubLangId=1

[Public]
Object=(Name=Engine.Engine,Class=Class,MetaClass=Engine.Engine)
