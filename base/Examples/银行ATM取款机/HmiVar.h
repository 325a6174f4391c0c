///控件地址变量宏定义,用户可将其作为头文件。如果文件的格式不符合你的要求请联系我们免费为你生成符合你的头文件
#define   m_HuaMian          0           //类型：unsigned char   初始值：0   解释：活动画面编号
#define   m_ChildWindow      1           //类型：unsigned char   初始值：255   解释：活动子窗口
#define   m_ClockYear        2           //类型：unsigned short   初始值：2012   解释：日期‘年’
#define   m_ClockMonth       4           //类型：unsigned char   初始值：1   解释：日期‘月’
#define   m_ClockDay         5           //类型：unsigned char   初始值：1   解释：日期‘日’
#define   m_ClockWeek        6           //类型：unsigned char   初始值：7   解释：日期‘星期’
#define   m_ClockHour        7           //类型：unsigned char   初始值：12   解释：时间‘时’
#define   m_ClockMinute      8           //类型：unsigned char   初始值：12   解释：时间‘分’
#define   m_ClockSecond      9           //类型：unsigned char   初始值：12   解释：时间‘秒’
#define   m_BackLight        10          //类型：unsigned char   初始值：255   解释：背光亮度
#define   m_BackLightDly     11          //类型：unsigned char   初始值：254   解释：背光延时
#define   m_KeySound         12          //类型：unsigned char   初始值：1   解释：按键音控制
#define   m_CurrentUser      13          //类型：unsigned char   初始值：0   解释：当前登陆用户,"0=未登陆，1=初级用户，2=高级用户，3=超级用户"
#define   m_JuniorUser       16          //类型：unsigned int   初始值：40719382   解释：初级用户口令
#define   m_AdvancedUser     20          //类型：unsigned int   初始值：58260417   解释：高级用户口令
#define   m_SuperUser        24          //类型：unsigned int   初始值：96103725   解释：超级用户口令
#define   余额               28          //类型：unsigned int   初始值：5000   解释：账户余额
#define   取款金额           32          //类型：unsigned int   初始值：0   解释：本次取款金额
#define   密码               36          //类型：unsigned int   初始值：0   解释：输入的密码
#define   m_ButtonValue      40          //类型：unsigned char   初始值：0   解释：按钮值
#define   m_DispHide         44          //类型：unsigned char   初始值：1   解释：控件隐藏/显示属性控制
#define   m_CellWrEn         48          //类型：unsigned char   初始值：1   解释：控件允许/禁止写入控制
#define   m_DataDisplay      52          //类型：unsigned int   初始值：258   解释：数据显示变量
#define   m_XY_Position      56          //类型：signed int   初始值：0   解释：控件移动属性控制
#define   m_FontColor        60          //类型：unsigned short   初始值：0   解释：字体颜色
#define   m_BackColor        64          //类型：unsigned short   初始值：65535   解释：字体背景颜色
                                                  
                                                  
