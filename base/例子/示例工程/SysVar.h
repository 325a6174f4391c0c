///        第一部分：MC8051单片机寄存器定义                      ////
sbit EX0  = 0xA8;
sbit ET0  = 0xA9;
sbit EX1  = 0xAA;
sbit ET1  = 0xAB;
sbit ES   = 0xAC;
sbit ET2  = 0xAD;
sbit EA   = 0xAF;
sfr SBUF          = 0x99;
sfr COMNUM        = 0x9A;
sfr CmdAdr        = 0xC0;
sfr CmdAdr1       = 0xC1;
sfr CmdAdr2       = 0xC2;
sfr CmdAdr3       = 0xC3;
sfr CmdAdr4       = 0xC4;
sfr CmdAdr5       = 0xC5;
sfr CmdAdr6       = 0xC6;
sfr CmdAdr7       = 0xC7;
sfr CmdAdr8       = 0xC8;
sfr CmdAdr9       = 0xC9;
sfr CmdAdr10      = 0xCA;
sfr CmdAdr11      = 0xCB;
sfr CmdAdr12      = 0xCC;
sfr CmdAdr13      = 0xCD;
sfr CmdAdr14      = 0xCE;
sfr CmdAdr15      = 0xCF;
                                                  
                                                  
///        第二部分：MC8051单片机存储器访问接口定义             ////
#define CBYTE ((unsigned char volatile code  *) 0)
#define XBYTE ((unsigned char volatile xdata *) 0)
                                                  
                                                  
///        第三部分：控件地址变量宏定义                       ////////////////////////////////
#define   m_HuaMian                                   0           //类型：unsigned char   初始值：0   解释：活动画面编号
#define   m_ChildWindow                               1           //类型：unsigned char   初始值：255   解释：活动子窗口
#define   m_ClockYear                                 2           //类型：unsigned short   初始值：2012   解释：日期‘年’
#define   m_ClockMonth                                4           //类型：unsigned char   初始值：1   解释：日期‘月’
#define   m_ClockDay                                  5           //类型：unsigned char   初始值：1   解释：日期‘日’
#define   m_ClockWeek                                 6           //类型：unsigned char   初始值：7   解释：日期‘星期’
#define   m_ClockHour                                 7           //类型：unsigned char   初始值：12   解释：时间‘时’
#define   m_ClockMinute                               8           //类型：unsigned char   初始值：12   解释：时间‘分’
#define   m_ClockSecond                               9           //类型：unsigned char   初始值：12   解释：时间‘秒’
#define   m_BackLight                                 10          //类型：unsigned char   初始值：255   解释：背光亮度
#define   m_BackLightDly                              11          //类型：unsigned char   初始值：254   解释：背光延时
#define   m_KeySound                                  12          //类型：unsigned char   初始值：1   解释：按键音控制
#define   m_CurrentUser                               13          //类型：unsigned char   初始值：0   解释：当前登陆用户,"0=未登陆，1=初级用户，2=高级用户，3=超级用户"
#define   m_JuniorUser                                16          //类型：unsigned int   初始值：40719382   解释：初级用户口令
#define   m_AdvancedUser                              20          //类型：unsigned int   初始值：58260417   解释：高级用户口令
#define   m_SuperUser                                 24          //类型：unsigned int   初始值：96103725   解释：超级用户口令
#define   温度                                        28          //类型：unsigned short   初始值：25   解释：炉内温度
#define   压力                                        32          //类型：unsigned short   初始值：101   解释：管道压力
#define   水泵                                        36          //类型：unsigned char   初始值：0   解释：水泵开关
#define   m_DataDisplay                               40          //类型：unsigned int   初始值：258   解释：数据显示变量
#define   m_DispHide                                  44          //类型：unsigned char   初始值：1   解释：控件隐藏/显示属性控制
#define   m_XY_Position                               48          //类型：signed int   初始值：0   解释：控件移动属性控制
#define   m_FontColor                                 52          //类型：unsigned short   初始值：0   解释：字体颜色
#define   m_BackColor                                 56          //类型：unsigned short   初始值：65535   解释：字体背景颜色
#define   m_CellWrEn                                  60          //类型：unsigned char   初始值：1   解释：控件允许/禁止写入控制
#define   m_Switch                                    64          //类型：unsigned char   初始值：1   解释：位开关控制变量
#define   m_ButtonValue                               68          //类型：unsigned char   初始值：0   解释：按钮值
                                                  
                                                  
///        第四部分：用户地址变量宏定义                       ////////////////////////////////
#define   m_UserAdr       72