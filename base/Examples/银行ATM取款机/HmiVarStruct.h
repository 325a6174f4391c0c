///外部存储器数据结构定义
typedef struct	HMIVarW
{
   unsigned char         Mm_HuaMian;                  //初始值：0   解释：活动画面编号
   unsigned char         Mm_ChildWindow;              //初始值：255   解释：活动子窗口
   unsigned short        Mm_ClockYear;                //初始值：2012   解释：日期‘年’
   unsigned char         Mm_ClockMonth;               //初始值：1   解释：日期‘月’
   unsigned char         Mm_ClockDay;                 //初始值：1   解释：日期‘日’
   unsigned char         Mm_ClockWeek;                //初始值：7   解释：日期‘星期’
   unsigned char         Mm_ClockHour;                //初始值：12   解释：时间‘时’
   unsigned char         Mm_ClockMinute;              //初始值：12   解释：时间‘分’
   unsigned char         Mm_ClockSecond;              //初始值：12   解释：时间‘秒’
   unsigned char         Mm_BackLight;                //初始值：255   解释：背光亮度
   unsigned char         Mm_BackLightDly;             //初始值：254   解释：背光延时
   unsigned char         Mm_KeySound;                 //初始值：1   解释：按键音控制
   unsigned char         Mm_CurrentUser;              //初始值：0   解释：当前登陆用户,"0=未登陆，1=初级用户，2=高级用户，3=超级用户"
   unsigned long         Mm_JuniorUser;               //初始值：40719382   解释：初级用户口令
   unsigned long         Mm_AdvancedUser;             //初始值：58260417   解释：高级用户口令
   unsigned long         Mm_SuperUser;                //初始值：96103725   解释：超级用户口令
   unsigned long         M余额;                       //初始值：5000   解释：账户余额
   unsigned long         M取款金额;                   //初始值：0   解释：本次取款金额
   unsigned long         M密码;                       //初始值：0   解释：输入的密码
   unsigned char         Mm_ButtonValue;              //初始值：0   解释：按钮值
   unsigned char         Mm_DispHide;                 //初始值：1   解释：控件隐藏/显示属性控制
   unsigned char         Mm_CellWrEn;                 //初始值：1   解释：控件允许/禁止写入控制
   unsigned long         Mm_DataDisplay;              //初始值：258   解释：数据显示变量
   signed long           Mm_XY_Position;              //初始值：0   解释：控件移动属性控制
   unsigned short        Mm_FontColor;                //初始值：0   解释：字体颜色
   unsigned short        Mm_BackColor;                //初始值：65535   解释：字体背景颜色
} HMIVarW;
